// The sound controls' widgets on the sound page, the crossfade page and the tool bar, and their
// share of the window's life: creation, first showing, each start of a track and the end.
#include "player/form1.h"

#include "controls/tbar.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"
#include "player/sound/bpmmeter.h"
#include "player/sound/clickfilter.h"
#include "player/sound/fxform.h"
#include "player/sound/presetbox.h"
#include "player/sound/sounddeck.h"
#include "player/sound/soundwidgets.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace player {

namespace {

constexpr int kBpmPrepareDelayMs = 1000;
constexpr double kScaleFontRatio = 0.85;

// TForm1's decks in the sequencer's roles (deck A on air); before the sequencer exists, DeckA and
// DeckB as they are.
class FormSoundDecks final : public SoundDeckRoles {
public:
    explicit FormSoundDecks(TForm1& form)
        : m_form(form), m_deckA(*form.DeckA), m_deckB(*form.DeckB)
    {
    }
    SoundDeck* deckA() override { return role(m_form.Sequencer ? &m_form.Sequencer->deckA() : nullptr, m_deckA); }
    SoundDeck* deckB() override { return role(m_form.Sequencer ? &m_form.Sequencer->deckB() : nullptr, m_deckB); }

private:
    SoundDeck* role(SequencerDeck* deck, EngineSoundDeck& fallback)
    {
        auto* view = dynamic_cast<EngineDeck*>(deck);
        if (view == nullptr)
            return &fallback;
        return &view->engine() == &m_deckA.engine() ? &m_deckA : &m_deckB;
    }

    TForm1& m_form;
    EngineSoundDeck m_deckA;
    EngineSoundDeck m_deckB;
};

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

controls::TTBar* makeBar(QWidget* parent, const QString& name, Qt::Orientation orientation, int min, int max)
{
    auto* bar = new controls::TTBar(orientation, parent);
    bar->setObjectName(name);
    bar->setRange(min, max);
    bar->setValue(0);
    return bar;
}

}  // namespace

void TForm1::buildSoundControls()
{
    // From the top: the bands, the equaliser's buttons, its presets, then beside the level meters
    // the compressor gain and the tempo controls: narrow enough for the side panel of the
    // smallest window.
    QWidget* panel = TabSheet5;
    auto* page = qobject_cast<QVBoxLayout*>(TabSheet5->layout());
    auto* meterRow = page != nullptr && page->count() > 0 ? qobject_cast<QHBoxLayout*>(page->itemAt(0)->layout()) : nullptr;

    auto* bands = new QHBoxLayout;
    bands->setSpacing(0);
    for (int i = 0; i < 12; ++i) {
        auto* cell = new QVBoxLayout;
        leq[i] = makeLabel(panel, QStringLiteral("leq%1").arg(i), QStringLiteral("0"));
        TrackBar[i] = makeBar(panel, QStringLiteral("TrackBar%1").arg(i), Qt::Vertical, -10, 10);
        TrackBar[i]->Tag = i;
        TrackBar[i]->setMinimumHeight(90);
        l_eq[i] = makeLabel(panel, QStringLiteral("l_eq%1").arg(i), QStringLiteral("---"));
        // The scale in a smaller type, as wide as its widest gain and frequency texts: twelve
        // bands fit the side panel, and a band keeps its place as its texts change.
        QFont scale = leq[i]->font();
        scale.setPointSizeF(scale.pointSizeF() * kScaleFontRatio);
        int textWidth = 0;
        for (const char* widest : {"-10", "+10", "20K", "999"})
            textWidth = std::max(textWidth, QFontMetrics(scale).horizontalAdvance(QString::fromLatin1(widest)));
        for (QLabel* label : {leq[i], l_eq[i]}) {
            label->setFont(scale);
            label->setMinimumWidth(textWidth + 2);
            label->setAlignment(Qt::AlignHCenter);
        }
        cell->addWidget(leq[i]);
        cell->addWidget(TrackBar[i], 1, Qt::AlignHCenter);
        cell->addWidget(l_eq[i]);
        bands->addLayout(cell);
    }
    bands->addStretch(1);

    auto* eqRow = new QHBoxLayout;
    SpeedButton1 = makeSoundButton(panel, "SpeedButton1", QStringLiteral("EQ"), true);
    SpeedButton1->setToolTip(QStringLiteral("Equalizer on/off"));
    AutoEq = makeSoundButton(panel, "AutoEq", QStringLiteral("Auto"), true);
    SpeedButton13 = makeSoundButton(panel, "SpeedButton13", QStringLiteral("Reset"));
    for (QWidget* w : std::initializer_list<QWidget*>{SpeedButton1, AutoEq, SpeedButton13})
        eqRow->addWidget(w);
    eqRow->addStretch(1);
    auto* eqPresetRow = new QHBoxLayout;
    eq_preset = makePresetBox(panel, "eq_preset");
    SpeedButton9 = makeSoundButton(panel, "SpeedButton9", QStringLiteral("Save"));
    SpeedButton10 = makeSoundButton(panel, "SpeedButton10", QStringLiteral("Delete"));
    eqPresetRow->addWidget(eq_preset, 1);
    eqPresetRow->addWidget(SpeedButton9);
    eqPresetRow->addWidget(SpeedButton10);

    auto* gainCell = new QVBoxLayout;
    Gain = makeBar(panel, QStringLiteral("Gain"), Qt::Vertical, -30, 30);
    Gain->setToolTip(QStringLiteral("Gain"));
    lbcmgain = makeLabel(panel, QStringLiteral("lbcmgain"), QStringLiteral("0 dB"));
    lbcmgain->setMinimumWidth(lbcmgain->fontMetrics().horizontalAdvance(QStringLiteral("-30 dB")) + 2);
    lbcmgain->setAlignment(Qt::AlignHCenter);
    gainCell->addWidget(makeLabel(panel, QStringLiteral("lbGain"), QStringLiteral("Gain")), 0, Qt::AlignHCenter);
    gainCell->addWidget(Gain, 1, Qt::AlignHCenter);
    gainCell->addWidget(lbcmgain, 0, Qt::AlignHCenter);

    auto* tempo = new QGridLayout;
    tbTempo = makeBar(panel, QStringLiteral("tbTempo"), Qt::Horizontal, -50, 50);
    Label38 = makeLabel(panel, QStringLiteral("Label38"), QStringLiteral("0%"));
    tbSample = makeBar(panel, QStringLiteral("tbSample"), Qt::Horizontal, 441, 1323);
    tbSample->setValue(882);
    tbSample->Tag = 882;
    Label42 = makeLabel(panel, QStringLiteral("Label42"), QStringLiteral("44100 Hz"));
    tbPitch = makeBar(panel, QStringLiteral("tbPitch"), Qt::Horizontal, -15, 15);
    Label44 = makeLabel(panel, QStringLiteral("Label44"), QStringLiteral("0"));
    const std::pair<const char*, std::pair<controls::TTBar*, QLabel*>> rows[] = {
        {"Tempo", {tbTempo, Label38}}, {"Rate", {tbSample, Label42}}, {"Pitch", {tbPitch, Label44}}};
    int line = 0;
    for (const auto& [caption, controls] : rows) {
        controls.first->setToolTip(QStringLiteral("Reset: right click"));
        controls.first->OnMouseRight = [this](QObject* sender) {
            tbTempoMouseDouble(static_cast<controls::TTBar*>(sender));
        };
        tempo->addWidget(makeLabel(panel, QStringLiteral("lb") + QString::fromLatin1(caption), QString::fromLatin1(caption)),
                         line, 0);
        tempo->addWidget(controls.first, line, 1);
        tempo->addWidget(controls.second, line, 2);
        ++line;
    }
    Label40 = makeLabel(panel, QStringLiteral("Label40"), QStringLiteral("???"));
    Label40->setToolTip(QStringLiteral("Click here to re-detect bpm"));
    tempo->addWidget(makeLabel(panel, QString(), QStringLiteral("BPM")), line, 0);
    tempo->addWidget(Label40, line, 1, 1, 2);
    SpeedButton12 = makeSoundButton(panel, "SpeedButton12", QStringLiteral("Add effect..."));
    tempo->addWidget(SpeedButton12, line + 1, 0, 1, 3, Qt::AlignLeft);
    tempo->setColumnStretch(1, 1);
    tempo->setRowStretch(line + 2, 1);

    if (page != nullptr && meterRow != nullptr) {
        page->insertLayout(0, bands);
        page->insertLayout(1, eqRow);
        page->insertLayout(2, eqPresetRow);
        meterRow->insertLayout(meterRow->count() - 1, gainCell);
        meterRow->insertLayout(meterRow->count() - 1, tempo, 1);
        meterRow->setStretch(meterRow->count() - 1, 0);  // the sliders take the width left
    }

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    Timer2->setInterval(kBpmPrepareDelayMs);

    // The crossfade presets, below the crossfade controls.
    if (auto* grid = qobject_cast<QGridLayout*>(TabSheet7->layout())) {
        auto* presets = new QWidget(TabSheet7);
        auto* presetRow = new QHBoxLayout(presets);
        presetRow->setContentsMargins(0, 0, 0, 0);
        cr_preset = makePresetBox(presets, "cr_preset");
        SpeedButton16 = makeSoundButton(presets, "SpeedButton16", QStringLiteral("Save"));
        SpeedButton17 = makeSoundButton(presets, "SpeedButton17", QStringLiteral("Delete"));
        presetRow->addWidget(cr_preset, 1);
        presetRow->addWidget(SpeedButton16);
        presetRow->addWidget(SpeedButton17);
        const int at = grid->rowCount();
        grid->setRowStretch(at - 1, 0);
        grid->addWidget(presets, at, 0, 1, 2);
        grid->setRowStretch(at + 1, 1);
    }

    SpeedButton11 = makeSoundButton(ToolBar1, "SpeedButton11", QStringLiteral("Mute"), true);
    SpeedButton11->setToolTip(QStringLiteral("Mute (M)"));
    ToolBar1->addWidget(SpeedButton11);

    for (controls::TTBar* bar : TrackBar)
        connect(bar, &QSlider::valueChanged, this, [this, bar] { TrackBar0Change(bar); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(AutoEq, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton13, &QToolButton::clicked, this, [this] { SpeedButton13Click(); });
    onPresetTypedOrChosen(eq_preset, this, [this] { eq_presetChange(); });
    connect(SpeedButton9, &QToolButton::clicked, this, [this] { SpeedButton9Click(); });
    connect(SpeedButton10, &QToolButton::clicked, this, [this] { SpeedButton10Click(); });
    connect(Gain, &QSlider::valueChanged, this, [this] { GainChange(); });
    if (cr_preset != nullptr) {
        onPresetTypedOrChosen(cr_preset, this, [this] { cr_presetChange(); });
        connect(SpeedButton16, &QToolButton::clicked, this, [this] { SpeedButton16Click(); });
        connect(SpeedButton17, &QToolButton::clicked, this, [this] { SpeedButton17Click(); });
    }
    connect(SpeedButton12, &QToolButton::clicked, this, [this] { Button2Click(); });
    connect(tbTempo, &QSlider::valueChanged, this, [this] { tbTempoChange(); });
    connect(tbSample, &QSlider::valueChanged, this, [this] { tbSampleChange(); });
    connect(tbPitch, &QSlider::valueChanged, this, [this] { tbPitchChange(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    new ClickFilter(Label40, [this] { Label40Click(); });
    if (PaintFrame != nullptr)
        new ClickFilter(PaintFrame, [this] { PaintFrameClick(); });
    connect(SpeedButton11, &QToolButton::clicked, this, [this] { SpeedButton11Click(); });
}

void TForm1::SoundCreate()
{
    if (DeckA && DeckB)
        SoundDecks = std::make_unique<FormSoundDecks>(*this);
    Bpm = std::make_unique<BpmMeter>();
    const bool tempoStreams = engine::engineSettings().FXTempo;
    for (controls::TTBar* bar : {tbTempo, tbSample, tbPitch})
        bar->setEnabled(tempoStreams);
}

void TForm1::SoundShow()
{
    const engine::EngineSettings& settings = engine::engineSettings();
    for (int i = 0; i < 12; ++i) {
        const bool configured = i < settings.bandCount();
        if (configured)
            l_eq[i]->setText(FormatBandLabel(settings.Freq[static_cast<std::size_t>(i)]));
        l_eq[i]->setEnabled(configured);
        TrackBar[i]->setEnabled(configured);
    }
    fillPresetBox(eq_preset, equalizerPresets());
    if (cr_preset != nullptr)
        fillPresetBox(cr_preset, crossfadePresets());
}

void TForm1::SoundDestroy()
{
    // The effects window and the worker both reach the decks: neither may outlive them.
    delete FXFrm.data();
    if (Bpm)
        Bpm->wait();
    Bpm.reset();
    SoundDecks.reset();
}

void TForm1::SoundStartingTrack()
{
    Timer2->stop();
    Label40->setText(Texts[PlayerText::BpmNotMeasured]);
    if (Bpm)
        Bpm->discardRunning();
}

void TForm1::SoundTrackStarted(int)
{
    SoundDeck* deck = SoundDecks ? SoundDecks->deckA() : nullptr;
    if (deck != nullptr) {
        // The range of the new track's own rate. Set silently: a change here would re-rate the
        // deck that is fading out to the new track's rate.
        const std::int32_t rate = deck->ChannelRate();
        if (rate > 0) {
            const QSignalBlocker quiet(tbSample);
            tbSample->setRange(static_cast<int>((rate - rate * 0.5) / 50), static_cast<int>((rate + rate * 0.5) / 50));
            tbSample->setValue(rate / 50);
            tbSample->Tag = rate / 50;
            Label42->setText(QStringLiteral("%1Hz").arg(rate));
        }
    }
    ApplyEffects();
    Timer2->start(kBpmPrepareDelayMs);
}

}  // namespace player
