// The effects window's pages: the 19 bars with their captions, ranges, decimals and units, and
// each page's buttons and preset box.
#include "player/sound/fxform.h"

#include "controls/lbar.h"
#include "player/form1.h"
#include "player/sound/presetbox.h"
#include "player/sound/soundwidgets.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace player {

namespace {

struct BarSpec {
    controls::TLBar* TFXFrm::*bar;
    const char* name;
    const char* caption;
    float minValue;
    float maxValue;
    int prec;
    const char* unit;
};

// Page by page, in kind order.
const std::array<std::vector<BarSpec>, kEffectKinds> kBars{{
    {{&TFXFrm::rvgain, "rvgain", "Gain", -96, 0, 0, "dB"},
     {&TFXFrm::rvmix, "rvmix", "ReverbMix", -96, 0, 0, "dB"},
     {&TFXFrm::rvtime, "rvtime", "ReverbTime", 0.001f, 3000, 3, "ms"},
     {&TFXFrm::rvhf, "rvhf", "HFRTRatio", 0.001f, 0.999f, 3, ""}},
    {{&TFXFrm::ecwet, "ecwet", "Wet/Dry", 0, 100, 0, "%"},
     {&TFXFrm::ecfeed, "ecfeed", "Feedback", 0, 100, 0, "%"},
     {&TFXFrm::ecleft, "ecleft", "Left delay", 1, 2000, 0, "ms"},
     {&TFXFrm::ecright, "ecright", "Right delay", 1, 2000, 0, "ms"}},
    {{&TFXFrm::fl2delay, "fl2delay", "Delay", 1.1f, 3.1f, 1, "ms"},
     {&TFXFrm::fl2bpm, "fl2bpm", "BPM", 1, 350, 0, ""},
     {&TFXFrm::fl2wetdry, "fl2wetdry", "WetDry", 1, 10, 0, ""}},
    {{&TFXFrm::datarg, "datarg", "Target lev.", 1, 32767, 0, ""},
     {&TFXFrm::daquiet, "daquiet", "Quiet lev.", 1, 10000, 0, ""},
     {&TFXFrm::darate, "darate", "Rate", 0.01f, 2.00f, 2, ""},
     {&TFXFrm::dadelay, "dadelay", "Delay", 0.1f, 10.0f, 1, "sec"}},
    {{&TFXFrm::e2dry, "e2dry", "DryMix", -2.0f, 2.0f, 1, ""},
     {&TFXFrm::e2wet, "e2wet", "WetMix", -2.0f, 2.0f, 1, ""},
     {&TFXFrm::e2feed, "e2feed", "Feedback", -1.00f, 1.00f, 2, ""},
     {&TFXFrm::e2delay, "e2delay", "Delay", 0.02f, 6.00f, 2, "s"}},
}};

// The buttons of each page: on/off, preset box, save, delete, Reset and Random (null: none).
struct PageButtons {
    QToolButton* TFXFrm::*onOff;
    const char* onOffName;
    QComboBox* TFXFrm::*box;
    const char* boxName;
    QToolButton* TFXFrm::*save;
    const char* saveName;
    QToolButton* TFXFrm::*remove;
    const char* removeName;
    QToolButton* TFXFrm::*reset;
    const char* resetName;
    QToolButton* TFXFrm::*randomize;
    const char* randomName;
};

const std::array<PageButtons, kEffectKinds> kButtons{{
    {&TFXFrm::SpeedButton11, "SpeedButton11", &TFXFrm::preverb, "preverb", &TFXFrm::SpeedButton9, "SpeedButton9",
     &TFXFrm::SpeedButton10, "SpeedButton10", &TFXFrm::SpeedButton13, "SpeedButton13", &TFXFrm::SpeedButton20,
     "SpeedButton20"},
    {&TFXFrm::SpeedButton3, "SpeedButton3", &TFXFrm::pecho, "pecho", &TFXFrm::SpeedButton5, "SpeedButton5",
     &TFXFrm::SpeedButton6, "SpeedButton6", &TFXFrm::SpeedButton15, "SpeedButton15", &TFXFrm::SpeedButton18,
     "SpeedButton18"},
    {&TFXFrm::SpeedButton16, "SpeedButton16", &TFXFrm::pfl2, "pfl2", &TFXFrm::SpeedButton21, "SpeedButton21",
     &TFXFrm::SpeedButton22, "SpeedButton22", nullptr, nullptr, &TFXFrm::SpeedButton23, "SpeedButton23"},
    {&TFXFrm::SpeedButton32, "SpeedButton32", &TFXFrm::pda, "pda", &TFXFrm::SpeedButton33, "SpeedButton33",
     &TFXFrm::SpeedButton34, "SpeedButton34", &TFXFrm::SpeedButton1, "SpeedButton1", nullptr, nullptr},
    {&TFXFrm::SpeedButton40, "SpeedButton40", &TFXFrm::pe2, "pe2", &TFXFrm::SpeedButton41, "SpeedButton41",
     &TFXFrm::SpeedButton42, "SpeedButton42", nullptr, nullptr, &TFXFrm::SpeedButton43, "SpeedButton43"},
}};

constexpr int kLabelSpacing = 6;

}  // namespace

TFXFrm::TFXFrm(TForm1& form) : QDialog(&form), m_form(form)
{
    setObjectName(QStringLiteral("FXFrm"));
    setWindowTitle(QStringLiteral("Additional FX"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    buildPages();
}

void TFXFrm::FitToTexts()
{
    // The captions and values sit outside their bars, left and right: the room beside the bars
    // is that of the widest of every page, so that the bars line up from page to page.
    int captionRoom = 0;
    int valueRoom = 0;
    for (const std::vector<BarSpec>& page : kBars)
        for (const BarSpec& desc : page) {
            captionRoom = std::max(captionRoom, (this->*desc.bar)->captionRoom());
            valueRoom = std::max(valueRoom, (this->*desc.bar)->valueRoom());
        }
    for (QWidget* panel : m_barPanels)
        panel->layout()->setContentsMargins(captionRoom, 4, valueRoom, 4);
    // Never narrower than its texts need; wider when the operator drags it so.
    setMinimumSize(minimumSizeHint());
    adjustSize();
    // Placed at once, not at the next turn of the event loop: the labels follow their bars.
    layout()->activate();
    for (QWidget* panel : m_barPanels)
        panel->layout()->activate();
    // Centred on the main window.
    move(m_form.frameGeometry().center() - rect().center());
}

void TFXFrm::buildPages()
{
    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1);

    for (EffectKind kind : kAllEffectKinds) {
        const auto k = static_cast<std::size_t>(kind);
        const PageButtons& b = kButtons[k];
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TabSheet%1").arg(k + 1));
        auto* pageLayout = new QVBoxLayout(page);

        auto* row = new QHBoxLayout;
        this->*b.onOff = makeSoundButton(page, b.onOffName, QStringLiteral("On"), true);
        m_onButtons[k] = this->*b.onOff;
        this->*b.box = makePresetBox(page, b.boxName);
        m_presetBoxes[k] = this->*b.box;
        this->*b.save = makeSoundButton(page, b.saveName, QStringLiteral("Save"));
        this->*b.remove = makeSoundButton(page, b.removeName, QStringLiteral("Delete"));
        row->addWidget(m_onButtons[k]);
        row->addWidget(m_presetBoxes[k], 1);
        row->addWidget(this->*b.save);
        row->addWidget(this->*b.remove);
        if (b.reset != nullptr) {
            this->*b.reset = makeSoundButton(page, b.resetName, QStringLiteral("Reset"));
            row->addWidget(this->*b.reset);
        }
        if (b.randomize != nullptr) {
            this->*b.randomize = makeSoundButton(page, b.randomName, QStringLiteral("Random"));
            row->addWidget(this->*b.randomize);
        }
        pageLayout->addLayout(row);

        auto* bars = new QWidget(page);
        m_barPanels[k] = bars;
        auto* barLayout = new QVBoxLayout(bars);
        for (const BarSpec& desc : kBars[k]) {
            auto* bar = new controls::TLBar(bars);
            bar->setObjectName(QString::fromLatin1(desc.name));
            bar->setOrientation(Qt::Horizontal);
            bar->setMinimumWidth(220);
            bar->setCaption(QString::fromLatin1(desc.caption));
            bar->setLabelSpacing(kLabelSpacing);
            bar->setUnit(QString::fromLatin1(desc.unit));
            bar->setMinValue(desc.minValue);
            bar->setMaxValue(desc.maxValue);
            bar->setPrec(desc.prec);
            bar->Loaded();
            barLayout->addWidget(bar);
            this->*desc.bar = bar;
        }
        pageLayout->addWidget(bars);
        if (kind == EffectKind::Echo) {
            ecswap = new QCheckBox(QStringLiteral("Swap left and right delays between successful echo"), page);
            ecswap->setObjectName(QStringLiteral("ecswap"));
            pageLayout->addWidget(ecswap);
        }
        if (kind == EffectKind::AutoAmp) {
            AutoAmpNote = new QLabel(QStringLiteral("Not recommended to change parameters during playback."), page);
            AutoAmpNote->setObjectName(QStringLiteral("AutoAmpNote"));
            pageLayout->addWidget(AutoAmpNote);
        }
        pageLayout->addStretch(1);
        PageControl1->addTab(page, QString::fromLatin1(effectKindCaption(kind)));

        connect(m_onButtons[k], &QToolButton::clicked, this, [this] { SpeedButton11Click(); });
        for (const BarSpec& desc : kBars[k])
            (this->*desc.bar)->OnValueChange = [this, kind](QObject*) { pageChanged(kind); };
        onPresetTypedOrChosen(m_presetBoxes[k], this, [this, kind] { LoadFxPreset(kind, PresetBox(kind)); });
        connect(this->*b.save, &QToolButton::clicked, this, [this, kind] { SaveFxPreset(kind, PresetBox(kind)); });
        connect(this->*b.remove, &QToolButton::clicked, this, [this, kind] { DeleteFxPreset(kind, PresetBox(kind)); });
    }
    connect(ecswap, &QCheckBox::toggled, this, [this] { ecwetChange(); });
    connect(SpeedButton13, &QToolButton::clicked, this, [this] { SpeedButton13Click(); });
    connect(SpeedButton15, &QToolButton::clicked, this, [this] { SpeedButton15Click(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton20, &QToolButton::clicked, this, [this] { SpeedButton20Click(); });
    connect(SpeedButton18, &QToolButton::clicked, this, [this] { SpeedButton18Click(); });
    connect(SpeedButton23, &QToolButton::clicked, this, [this] { SpeedButton23Click(); });
    connect(SpeedButton43, &QToolButton::clicked, this, [this] { SpeedButton43Click(); });

    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

}  // namespace player
