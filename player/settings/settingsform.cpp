// The settings dialog: its five pages, what it shows when it opens, OK, the colour panels, the
// browse buttons and the encoder preset list.
#include "player/settings/settingsform.h"

#include "audiolib/audiolib.h"
#include "engine/enginesettings.h"
#include "platform/inifile.h"
#include "platform/process.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"
#include "platform/usermessagesqt.h"
#include "player/form1.h"
#include "player/sequencing/maintimer.h"
#include "player/settings/devicechoice.h"
#include "player/settings/radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace player {

namespace {

constexpr int kMinInterval = 1;
constexpr int kMaxInterval = 600;
constexpr int kMinMuteLevel = -30;
constexpr int kMaxMuteLevel = 0;

template <class W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = named(new QPushButton(text, parent), name);
    b->setAutoDefault(false);
    return b;
}

QLabel* colorPanel(QWidget* parent, const char* name)
{
    auto* panel = named(new QLabel(parent), name);
    panel->setToolTip(QStringLiteral("Цвет в плейлисте"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    panel->setMinimumSize(40, 20);
    panel->setCursor(Qt::PointingHandCursor);
    return panel;
}

std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }
QString q(const std::string& s) { return QString::fromStdString(s); }

void writeFailed(const std::string& path)
{
    platform::messageBox(LanguageTexts().Text(PlayerText::CannotWrite, {path}), "Quorvalen",
                         platform::MB_OK | platform::MB_ICONERROR);
}

}  // namespace

QString IntervalText(int seconds, const PlayerTexts& texts)
{
    auto twoDigits = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    // All four at once: a unit that holds "%1" stays as it is.
    return QStringLiteral("%1 %2 %3 %4")
        .arg(twoDigits(seconds / 60), texts[PlayerText::Minutes], twoDigits(seconds % 60), texts[PlayerText::Seconds]);
}

TfrmSettings::TfrmSettings(TForm1& owner) : QDialog(&owner), m_owner(owner)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Preferences"));
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    // The dialog is as wide as its tabs: none hides behind scroll arrows in a longer language.
    PageControl1->setUsesScrollButtons(false);
    PageControl1->setElideMode(Qt::ElideNone);
    TabSheet1 = named(buildGeneralPage(), "TabSheet1");
    TabSheet2 = named(buildProgramPage(), "TabSheet2");
    TabSheet3 = named(buildSilencePage(), "TabSheet3");
    TabSheet4 = named(buildEncoderPage(), "TabSheet4");
    TabSheet5 = named(buildSoundPage(), "TabSheet5");
    PageControl1->addTab(TabSheet1, QStringLiteral("Общие"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Программа"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Детектор тишины"));
    PageControl1->addTab(TabSheet4, QStringLiteral("Encoder"));
    PageControl1->addTab(TabSheet5, QStringLiteral("Sound"));

    Button1 = named(new QPushButton(QStringLiteral("ОК"), this), "Button1");
    Button1->setDefault(true);
    Button3 = button(this, "Button3", QStringLiteral("Отмена"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] {
        Button1Click();
        accept();
    });
    connect(Button3, &QPushButton::clicked, this, [this] { reject(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(tbTime, &QSlider::valueChanged, this, [this] { tbTimeChange(); });
    connect(cbcodec, &QComboBox::currentIndexChanged, this, [this] { cbcodecChange(); });
    connect(montype, &RadioGroup::clicked, this, [this](int index) { montypeClick(index); });
    Panel1->installEventFilter(this);
    Panel2->installEventFilter(this);
}

QWidget* TfrmSettings::buildGeneralPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    Label1 = named(new QLabel(QStringLiteral("Идентификатор рекламы:"), page), "Label1");
    edAdvert = named(new QLineEdit(page), "edAdvert");
    Panel1 = colorPanel(page, "Panel1");
    Label2 = named(new QLabel(QStringLiteral("Идентификатор джинглов:"), page), "Label2");
    edJingl = named(new QLineEdit(page), "edJingl");
    Panel2 = colorPanel(page, "Panel2");
    Label3 = named(new QLabel(QStringLiteral("База данных:"), page), "Label3");
    edDefBase = named(new QLineEdit(page), "edDefBase");
    Button2 = button(page, "Button2", QStringLiteral("..."));
    rgClose = named(new RadioGroup(QStringLiteral("Действие кнопки \"Х\""),
                                   {QStringLiteral("Свернуть"), QStringLiteral("Закрыть")}, page),
                    "rgClose");
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(edAdvert, 0, 1);
    grid->addWidget(Panel1, 0, 2);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(edJingl, 1, 1);
    grid->addWidget(Panel2, 1, 2);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(edDefBase, 2, 1);
    grid->addWidget(Button2, 2, 2);
    grid->addWidget(rgClose, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);
    return page;
}

QWidget* TfrmSettings::buildProgramPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    cbReport = named(new QCheckBox(QStringLiteral("Создавать файл отчета"), page), "cbReport");
    cbNoCopy = named(new QCheckBox(QStringLiteral("Предотвращать повторный запуск"), page), "cbNoCopy");
    cbRegShell = named(new QCheckBox(QStringLiteral("Регистрировать расширение оболочки"), page), "cbRegShell");
    cbSortList = named(new QCheckBox(QStringLiteral("Клик по колонке сортирует плейлист"), page), "cbSortList");
    RadioGroup1 = named(new RadioGroup(QStringLiteral(" Приоритет "), PlayerTexts::BuiltInPriorityNames(), page),
                        "RadioGroup1");
    for (QWidget* w : std::initializer_list<QWidget*>{cbReport, cbNoCopy, cbRegShell, cbSortList, RadioGroup1})
        layout->addWidget(w);
    layout->addStretch(1);
    return page;
}

QWidget* TfrmSettings::buildSilencePage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    cbQuiet = named(new QCheckBox(QStringLiteral("Вкл"), page), "cbQuiet");
    Label4 = named(new QLabel(QStringLiteral("Время тишины:"), page), "Label4");
    tbTime = named(new QSlider(Qt::Horizontal, page), "tbTime");
    tbTime->setRange(kMinInterval, kMaxInterval);
    Label5 = named(new QLabel(IntervalText(kMinInterval, m_owner.Texts), page), "Label5");
    RadioButton1 = named(new QRadioButton(QStringLiteral("Перейти к следующему треку"), page), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("Начать плейлист заново"), page), "RadioButton2");
    RadioButton3 = named(new QRadioButton(QStringLiteral("Загрузить  аварийный плейлист"), page), "RadioButton3");
    RadioButton1->setChecked(true);
    Label6 = named(new QLabel(QStringLiteral("Аварийный плейлист:"), page), "Label6");
    edList = named(new QLineEdit(page), "edList");
    Button4 = button(page, "Button4", QStringLiteral("..."));
    grid->addWidget(cbQuiet, 0, 0, 1, 3);
    grid->addWidget(Label4, 1, 0);
    grid->addWidget(tbTime, 1, 1);
    grid->addWidget(Label5, 1, 2);
    grid->addWidget(RadioButton1, 2, 0, 1, 3);
    grid->addWidget(RadioButton2, 3, 0, 1, 3);
    grid->addWidget(RadioButton3, 4, 0, 1, 3);
    grid->addWidget(Label6, 5, 0);
    grid->addWidget(edList, 5, 1);
    grid->addWidget(Button4, 5, 2);
    grid->setRowStretch(6, 1);
    return page;
}

QWidget* TfrmSettings::buildEncoderPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    Label7 = named(new QLabel(QStringLiteral("Output folder:"), page), "Label7");
    edto = named(new QLineEdit(page), "edto");
    edto->setToolTip(QStringLiteral("Output folder"));
    Button5 = button(page, "Button5", QStringLiteral("..."));
    Label13 = named(new QLabel(QStringLiteral("Preset:"), page), "Label13");
    cbcodec = named(new QComboBox(page), "cbcodec");
    Label8 = named(new QLabel(QStringLiteral("Name:"), page), "Label8");
    prsname = named(new QLineEdit(page), "prsname");
    Label9 = named(new QLabel(QStringLiteral("Command:"), page), "Label9");
    prscomm = named(new QLineEdit(page), "prscomm");
    Label10 = named(new QLabel(QStringLiteral("Менять расширение на"), page), "Label10");
    prsext = named(new QLineEdit(page), "prsext");
    prsext->setToolTip(QStringLiteral("Extention"));
    Button8 = button(page, "Button8", QStringLiteral("Add"));
    Button6 = button(page, "Button6", QStringLiteral("Save"));
    Button7 = button(page, "Button7", QStringLiteral("Del"));
    cbencparam = named(new QCheckBox(QStringLiteral("Show encoder parameters window before encoding"), page),
                       "cbencparam");
    auto* presetButtons = new QHBoxLayout;
    presetButtons->addWidget(Button8);
    presetButtons->addWidget(Button6);
    presetButtons->addWidget(Button7);
    presetButtons->addStretch(1);
    grid->addWidget(Label7, 0, 0);
    grid->addWidget(edto, 0, 1);
    grid->addWidget(Button5, 0, 2);
    grid->addWidget(Label13, 1, 0);
    grid->addWidget(cbcodec, 1, 1, 1, 2);
    grid->addWidget(Label8, 2, 0);
    grid->addWidget(prsname, 2, 1, 1, 2);
    grid->addWidget(Label9, 3, 0);
    grid->addWidget(prscomm, 3, 1, 1, 2);
    grid->addWidget(Label10, 4, 0);
    grid->addWidget(prsext, 4, 1, 1, 2);
    grid->addLayout(presetButtons, 5, 0, 1, 3);
    grid->addWidget(cbencparam, 6, 0, 1, 3);
    grid->setRowStretch(7, 1);
    return page;
}

QWidget* TfrmSettings::buildSoundPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    RadioGroup3 = named(new RadioGroup(QStringLiteral("Громкость "),
                                       {QStringLiteral("Линейная"), QStringLiteral("Логарифмическая")}, page),
                        "RadioGroup3");
    montype = named(new RadioGroup(QStringLiteral(" Тип подслушки "),
                                   {QStringLiteral("Left/Right Split"), QStringLiteral("Front/Rear Split"),
                                    QStringLiteral("2nd Device (need restart)")},
                                   page),
                    "montype");
    cbCutSilence =
        named(new QCheckBox(QStringLiteral("Обрезать тишину в начале и конце файла"), page), "cbCutSilence");
    Label11 = named(new QLabel(QStringLiteral("Mute level:"), page), "Label11");
    mutelev = named(new QSpinBox(page), "mutelev");
    mutelev->setRange(kMinMuteLevel, kMaxMuteLevel);
    Edit1 = mutelev->findChild<QLineEdit*>();
    if (Edit1 != nullptr)
        Edit1->setObjectName(QStringLiteral("Edit1"));
    Label12 = named(new QLabel(QStringLiteral("dB"), page), "Label12");
    auto* mute = new QHBoxLayout;
    mute->addWidget(Label11);
    mute->addWidget(mutelev);
    mute->addWidget(Label12);
    mute->addStretch(1);
    lbMainDev = named(new QLabel(QStringLiteral("Основное устройство:"), page), "lbMainDev");
    cbMainDev = named(new QComboBox(page), "cbMainDev");
    lbSecondDev = named(new QLabel(QStringLiteral("Второе устройство:"), page), "lbSecondDev");
    cbSecondDev = named(new QComboBox(page), "cbSecondDev");
    auto* devices = new QGridLayout;
    devices->addWidget(lbMainDev, 0, 0);
    devices->addWidget(cbMainDev, 0, 1);
    devices->addWidget(lbSecondDev, 1, 0);
    devices->addWidget(cbSecondDev, 1, 1);
    devices->setColumnStretch(1, 1);
    grid->addWidget(RadioGroup3, 0, 0);
    grid->addWidget(montype, 0, 1);
    grid->addWidget(cbCutSilence, 1, 0, 1, 2);
    grid->addLayout(mute, 2, 0, 1, 2);
    grid->addLayout(devices, 3, 0, 1, 2);
    grid->setRowStretch(4, 1);
    // Another device takes effect at the next start, as the second device of type 2 does.
    for (QComboBox* box : {cbMainDev, cbSecondDev})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { RestartNeeded = true; });
    return page;
}

void TfrmSettings::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmSettings::showColor(QLabel* panel, const QColor& color)
{
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, color);
    panel->setPalette(p);
}

void TfrmSettings::FormShow()
{
    TForm1& f = m_owner;
    const engine::EngineSettings& engine = engine::engineSettings();
    cbSortList->setVisible(f.Ini.AllowSort);

    edAdvert->setText(q(f.AdvertId));
    edJingl->setText(q(f.JingleId));
    m_advertColor = f.LVMaster->AdvertColor;
    m_jingleColor = f.LVMaster->JingleColor;
    showColor(Panel1, m_advertColor);
    showColor(Panel2, m_jingleColor);
    const bool textNamesBase = !f.DefBaseText.empty() && platform::programPath(f.DefBaseText) == f.DefBase;
    edDefBase->setText(q(textNamesBase || f.DefBase.empty() ? f.DefBaseText : f.DefBase));
    rgClose->setItemIndex(f.CloseAllowed ? 1 : 0);

    cbReport->setChecked(f.ReportOn);
    cbNoCopy->setChecked(f.Ini.NoCopy);
    cbRegShell->setChecked(f.Ini.ShellExt);
    cbSortList->setChecked(f.AllowSort);
    RadioGroup1->setItemIndex(engine.Priority);

    SilenceDetector silence;
    if (f.MainTick)
        silence = f.MainTick->silence();
    cbQuiet->setChecked(f.SilenceDetectorOn);
    tbTime->setValue(std::clamp(silence.intervalSeconds, kMinInterval, kMaxInterval));
    tbTimeChange();
    if (silence.action == 2)
        RadioButton2->setChecked(true);
    else if (silence.action == 3)
        RadioButton3->setChecked(true);
    edList->setText(q(f.QuietList));

    LoadEncoderPresets();
    {
        // The boxes show the profile's preset when the stored index names none of the list.
        const QSignalBlocker quiet(cbcodec);
        cbcodec->setCurrentIndex(f.Encoder.PresetIndex >= 0 && f.Encoder.PresetIndex < cbcodec->count()
                                     ? f.Encoder.PresetIndex
                                     : -1);
    }
    prsname->setText(q(f.Encoder.PresetName));
    prscomm->setText(q(f.Encoder.Command));
    prsext->setText(q(f.Encoder.Ext));
    cbcodecChange();
    edto->setText(q(f.Encoder.OutDir));
    cbencparam->setChecked(f.Encoder.ShowParam);

    RadioGroup3->setItemIndex(engine.Lg ? 1 : 0);
    montype->setItemIndex(f.MonType);
    cbCutSilence->setChecked(f.CutSilence);
    mutelev->setValue(std::clamp(f.MuteLevel, kMinMuteLevel, kMaxMuteLevel));
    {
        const platform::IniFile system(platform::programPath("system.ini"));
        const engine::EngineSettings defaults;
        m_mainDev = system.readInteger("Device", "MainDev", defaults.MainDev);
        m_secondDev = system.readInteger("Device", "SecondDev", defaults.SecondDev);
        const QSignalBlocker quietMain(cbMainDev);
        const QSignalBlocker quietSecond(cbSecondDev);
        fillDeviceChoice(cbMainDev, m_mainDev, m_owner.Texts);
        fillDeviceChoice(cbSecondDev, m_secondDev, m_owner.Texts);
    }
    RestartNeeded = false;
}

void TfrmSettings::tbTimeChange()
{
    Label5->setText(IntervalText(tbTime->value(), m_owner.Texts));
}

void TfrmSettings::montypeClick(int index)
{
    if (index == 2 && m_owner.MonType != 2)
        RestartNeeded = true;
}

bool TfrmSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Panel1) {
            Panel1Click();
            return true;
        }
        if (watched == Panel2) {
            Panel2Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The dialog opens on the stored colour, not on the panel's; the panel takes what it closes with,
// which after Cancel is that stored colour again.
void TfrmSettings::Panel1Click()
{
    const std::uint32_t stored = platform::qtmessages::fromQColor(m_owner.LVMaster->AdvertColor);
    m_advertColor = platform::qtmessages::toQColor(platform::userMessages().chooseColor(stored).value_or(stored));
    showColor(Panel1, m_advertColor);
}

void TfrmSettings::Panel2Click()
{
    const std::uint32_t stored = platform::qtmessages::fromQColor(m_owner.LVMaster->JingleColor);
    m_jingleColor = platform::qtmessages::toQColor(platform::userMessages().chooseColor(stored).value_or(stored));
    showColor(Panel2, m_jingleColor);
}

void TfrmSettings::Button2Click()
{
    std::optional<std::string> file = platform::userMessages().openFileName(
        "", m_owner.Texts.Filter(PlayerText::DatabaseFiles, "*.dfs"), platform::programPath("Database"));
    if (!file)
        return;
    if (QFileInfo(q(*file)).suffix().isEmpty())
        *file += ".dfs";
    edDefBase->setText(q(*file));
}

void TfrmSettings::Button4Click()
{
    const std::string filter = m_owner.Texts.Filter(PlayerText::M3uPlaylist, "*.m3u");
    if (const auto file = platform::userMessages().openFileName("", filter, ""))
        edList->setText(q(*file));
}

void TfrmSettings::Button5Click()
{
    if (const auto folder = platform::userMessages().selectFolder("", platform::programPath(text(edto))))
        edto->setText(q(*folder));
}

void TfrmSettings::Button1Click()
{
    TForm1& f = m_owner;
    // 1. Into memory.
    f.SetItemClasses(text(edAdvert), text(edJingl), m_advertColor, m_jingleColor);
    f.DefBaseText = text(edDefBase);
    if (f.DefBaseText.empty())
        f.DefBaseText = platform::programPath("Database/Base.dfs");
    f.DefBase = platform::programPath(f.DefBaseText);
    f.ReportOn = cbReport->isChecked();
    f.SilenceDetectorOn = cbQuiet->isChecked();
    f.QuietList = text(edList);
    if (f.MainTick) {
        SilenceDetector& silence = f.MainTick->silence();
        silence.on = f.SilenceDetectorOn;
        silence.intervalSeconds = tbTime->value();
        silence.action = RadioButton1->isChecked() ? 1 : RadioButton2->isChecked() ? 2 : 3;
    }
    engine::EngineSettings engine = engine::engineSettings();
    if (RadioGroup3->itemIndex() >= 0)
        engine.Lg = RadioGroup3->itemIndex() == 1;
    // A priority the group cannot show stays as it was.
    if (RadioGroup1->itemIndex() >= 0)
        engine.Priority = RadioGroup1->itemIndex();
    engine::setEngineSettings(engine);

    // 2. "system.ini".
    {
        platform::IniFile system(platform::programPath("system.ini"), platform::IniFile::Mode::Buffered);
        system.writeInteger("Options", "Priority", engine.Priority);
        system.writeBool("Options", "Lg", engine.Lg);
        // Only a device the operator changed is written: the file keeps what it said otherwise.
        if (const int device = chosenDevice(cbMainDev); device >= 0 && device != m_mainDev)
            system.writeInteger("Device", "MainDev", device);
        if (const int device = chosenDevice(cbSecondDev); device >= 0 && device != m_secondDev)
            system.writeInteger("Device", "SecondDev", device);
        if (!system.flush())
            writeFailed(system.path());
    }
    // 3. "player.ini", then the file types.
    f.Ini.NoCopy = cbNoCopy->isChecked();
    f.Ini.ShellExt = cbRegShell->isChecked();
    {
        platform::IniFile player(platform::programPath("player.ini"), platform::IniFile::Mode::Buffered);
        player.writeBool("Options", "NoCopy", f.Ini.NoCopy);
        player.writeBool("Options", "ShellExt", f.Ini.ShellExt);
        if (!player.flush())
            writeFailed(player.path());
    }
    if (f.Ini.ShellExt)
        f.RegisterShellTypes();
    // 4. Priority class and volume curve.
    platform::setPriorityClass(engine.Priority);
    audiolib::setConfig(audiolib::kOptionLogCurve, engine.Lg ? 1 : 0);
    // 5.
    f.MuteLevel = mutelev->value();
    if (rgClose->itemIndex() >= 0)
        f.CloseAllowed = rgClose->itemIndex() == 1;
    f.AllowSort = cbSortList->isChecked();
    if (montype->itemIndex() >= 0)
        f.MonType = montype->itemIndex();
    // 6. and 7.
    f.SetCutSilence(cbCutSilence->isChecked());
    f.ApplyMonTypeFlags();
    // 8. The boxes, also when their preset was not saved: that is what the next run uses.
    f.Encoder.PresetIndex = cbcodec->currentIndex();
    f.Encoder.PresetName = cbcodec->currentIndex() >= 0 ? cbcodec->currentText().toStdString() : text(prsname);
    f.Encoder.OutDir = text(edto);
    f.Encoder.Ext = text(prsext);
    f.Encoder.Command = text(prscomm);
    f.Encoder.ShowParam = cbencparam->isChecked();
    // 9.
    SaveEncoderPresets();
}

void TfrmSettings::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        FormClose();
    }
    QDialog::done(result);
}

void TfrmSettings::FormClose()
{
    if (RestartNeeded)
        platform::messageBox(m_owner.Messages[9].toStdString(), "", platform::MB_OK | platform::MB_ICONWARNING);
}

void TfrmSettings::LoadEncoderPresets()
{
    const std::string path = platform::programPath("Presets/Encoder.prs");
    if (std::optional<std::vector<EncoderPreset>> read = readEncoderPresets(path)) {
        Presets = std::move(*read);
    } else {
        Presets.clear();
        platform::messageBox(m_owner.Texts.Text(PlayerText::CannotRead, {path}), "Quorvalen",
                             platform::MB_OK | platform::MB_ICONERROR);
    }
    const QSignalBlocker quiet(cbcodec);
    cbcodec->clear();
    for (const EncoderPreset& preset : Presets)
        cbcodec->addItem(preset.Name);
    cbcodec->setCurrentIndex(cbcodec->count() > 0 ? 0 : -1);
}

void TfrmSettings::SaveEncoderPresets()
{
    const std::string path = platform::programPath("Presets/Encoder.prs");
    if (!writeEncoderPresets(path, Presets))
        writeFailed(path);
}

void TfrmSettings::FillCodecList()
{
    const int index = cbcodec->currentIndex();
    {
        const QSignalBlocker quiet(cbcodec);
        cbcodec->clear();
        for (const EncoderPreset& preset : Presets)
            cbcodec->addItem(preset.Name);
        cbcodec->setCurrentIndex(index < cbcodec->count() ? index : -1);
    }
    cbcodecChange();
}

void TfrmSettings::cbcodecChange()
{
    const int index = cbcodec->currentIndex();
    if (index < 0 || index >= static_cast<int>(Presets.size()))
        return;
    const EncoderPreset& preset = Presets[static_cast<std::size_t>(index)];
    prsname->setText(preset.Name);
    prscomm->setText(preset.Command);
    prsext->setText(preset.Ext);
}

EncoderPreset TfrmSettings::presetOfBoxes() const
{
    return cutToFields({prsname->text(), prscomm->text(), prsext->text()});
}

void TfrmSettings::Button8Click()
{
    Presets.push_back(presetOfBoxes());
    FillCodecList();
}

void TfrmSettings::Button6Click()
{
    const int index = cbcodec->currentIndex();
    if (index < 0 || index >= static_cast<int>(Presets.size()))
        return;
    Presets[static_cast<std::size_t>(index)] = presetOfBoxes();
    FillCodecList();
}

void TfrmSettings::Button7Click()
{
    const int index = cbcodec->currentIndex();
    if (index < 0 || index >= static_cast<int>(Presets.size()))
        return;
    Presets.erase(Presets.begin() + index);
    FillCodecList();
}

}  // namespace player
