// The options dialog's three pages: general options, the list colours and font, the preview output.
#include "database/dialogs/optfrm.h"

#include "database/baseoptions.h"
#include "engine/audioengine.h"
#include "platform/usermessages.h"
#include "platform/usermessagesqt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace database {

namespace {

constexpr std::int32_t kSpeakerRear = 0x2000000;
constexpr const char* kSample = "AaBbCcdefghijklmn 1234567890";

}  // namespace

TOptFrm::TOptFrm(BaseOptions& options, QWidget* trackList, engine::TAudioEngine* deck, QWidget* parent)
    : QDialog(parent), m_options(options), m_trackList(trackList), m_deck(deck)
{
    setObjectName("OptFrm");
    setWindowTitle("Settings");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* pages = new QTabWidget(this);
    pages->setObjectName("PageControl1");
    layout->addWidget(pages);

    auto* general = new QWidget;
    general->setObjectName("TabSheet1");
    auto* generalLayout = new QVBoxLayout(general);
    auto box = [&](const char* name, const char* caption, bool BaseOptions::*option) {
        auto* b = new QCheckBox(QString::fromUtf8(caption), general);
        b->setObjectName(name);
        generalLayout->addWidget(b);
        connect(b, &QCheckBox::clicked, this, [this, option](bool on) { m_options.*option = on; });
        return b;
    };
    CheckBox1 = box("CheckBox1", "Не добавлять файлы с пустыми тегами", &BaseOptions::NoEmpty);
    CheckBox2 = box("CheckBox2", "Не показывать сообщения об ошибках", &BaseOptions::NoError);
    CheckBox5 = box("CheckBox5", "Не перепроверять время", &BaseOptions::CheckTimeOnce);
    cbOverwrite = box("cbOverwrite", "Заменять файлы при копировании", &BaseOptions::OverwriteOnCopy);
    cbOpenLastBase = box("cbOpenLastBase", "При загрузке открывать последнюю базу", &BaseOptions::OpenLastBase);
    CheckBox3 = box("CheckBox3", "Быстрый поиск", &BaseOptions::QSearch);
    CheckBox4 = box("CheckBox4", "Считать время сразу", &BaseOptions::CountTime);
    generalLayout->addStretch(1);
    pages->addTab(general, QString::fromUtf8("Общие"));

    auto* colours = new QWidget;
    colours->setObjectName("TabSheet2");
    auto* grid = new QGridLayout(colours);
    static const char* kTypes[4] = {"MP3", "WMA", "OGG", "WAV"};
    for (int i = 0; i < 4; ++i) {
        auto* type = new QLabel(kTypes[i], colours);
        type->setObjectName(QString("Label%1").arg(i + 1));
        auto* panel = new QLabel(kSample, colours);
        panel->setObjectName(QString("Panel%1").arg(i + 1));
        panel->setProperty("Tag", i + 1);
        panel->setAutoFillBackground(true);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setCursor(Qt::PointingHandCursor);
        panel->installEventFilter(this);
        grid->addWidget(type, i, 0);
        grid->addWidget(panel, i, 1);
        Panels[static_cast<std::size_t>(i)] = panel;
    }
    Button2 = new QPushButton(QString::fromUtf8("Изменить шрифт..."), colours);
    Button2->setObjectName("Button2");
    grid->addWidget(Button2, 4, 1, Qt::AlignLeft);
    grid->setRowStretch(5, 1);
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    pages->addTab(colours, QString::fromUtf8("Цвет"));

    auto* output = new QWidget;
    output->setObjectName("TabSheet3");
    auto* outputLayout = new QVBoxLayout(output);
    montype = new QGroupBox(" Playback type ", output);
    montype->setObjectName("montype");
    auto* items = new QVBoxLayout(montype);
    auto* group = new QButtonGroup(this);
    static const char* kOutputs[4] = {"Left channel", "Rear channel", "2nd Device (need restart)", "Normal"};
    for (int i = 0; i < 4; ++i) {
        auto* item = new QRadioButton(kOutputs[i], montype);
        item->setObjectName(QString("montype%1").arg(i));
        items->addWidget(item);
        group->addButton(item, i);
        montypeItems[static_cast<std::size_t>(i)] = item;
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { montypeClick(id); });
    outputLayout->addWidget(montype);
    outputLayout->addStretch(1);
    pages->addTab(output, "Output");

    Button1 = new QPushButton(QString::fromUtf8("Закрыть"), this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TOptFrm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TOptFrm::FormShow()
{
    const std::pair<QCheckBox*, bool> boxes[] = {
        {CheckBox1, m_options.NoEmpty},     {CheckBox2, m_options.NoError},        {CheckBox5, m_options.CheckTimeOnce},
        {cbOverwrite, m_options.OverwriteOnCopy}, {cbOpenLastBase, m_options.OpenLastBase},
        {CheckBox3, m_options.QSearch},     {CheckBox4, m_options.CountTime}};
    for (const auto& [box, on] : boxes) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    }
    for (int tag = 1; tag <= 4; ++tag)
        paintPanel(tag);
    if (m_options.MonType >= 0 && m_options.MonType < 4)
        montypeItems[static_cast<std::size_t>(m_options.MonType)]->setChecked(true);
}

void TOptFrm::paintPanel(int tag)
{
    QLabel* panel = Panels[static_cast<std::size_t>(tag - 1)];
    QPalette palette = panel->palette();
    const QColor background = m_trackList ? m_trackList->palette().color(QPalette::Base) : QColor(Qt::white);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, platform::qtmessages::toQColor(m_options.Colors[static_cast<std::size_t>(tag - 1)]));
    panel->setPalette(palette);
    if (m_trackList)
        panel->setFont(m_trackList->font());
}

void TOptFrm::Panel1Click(int tag)
{
    if (tag < 1 || tag > 4)
        return;
    const auto chosen = platform::userMessages().chooseColor(m_options.Colors[static_cast<std::size_t>(tag - 1)]);
    if (!chosen)
        return;
    m_options.Colors[static_cast<std::size_t>(tag - 1)] = *chosen & 0xFFFFFF;
    paintPanel(tag);
}

void TOptFrm::Button2Click()
{
    if (!m_trackList)
        return;
    const QFont current = m_trackList->font();
    const auto chosen = platform::userMessages().chooseFont(platform::qtmessages::fromQFont(current));
    if (!chosen)
        return;
    QFont font = platform::qtmessages::toQFont(*chosen);
    if (chosen->pointSize <= 0)
        font.setPointSize(current.pointSize());
    m_trackList->setFont(font);
    // The options follow, so the main window's next view update keeps the font.
    m_options.FontName = chosen->family;
    m_options.FontSize = font.pointSize();
    m_options.FontStyle = (font.bold() ? 2 : 0) | (font.italic() ? 4 : 0) | (font.underline() ? 8 : 0) |
                          (font.strikeOut() ? 16 : 0);
    for (int tag = 1; tag <= 4; ++tag)
        paintPanel(tag);
}

void TOptFrm::montypeClick(int index)
{
    if (index < 0 || index > 3)
        return;
    m_options.MonType = index;
    if (m_deck)
        m_deck->StreamFlags = index == 1 ? kSpeakerRear : 0;
}

void TOptFrm::Button1Click()
{
    if (parentWidget())
        parentWidget()->update();
    accept();
}

bool TOptFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease)
        for (QLabel* panel : Panels)
            if (watched == panel) {
                Panel1Click(panel->property("Tag").toInt());
                return true;
            }
    return QDialog::eventFilter(watched, event);
}

}  // namespace database
