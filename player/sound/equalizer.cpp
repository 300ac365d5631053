// The equaliser of both decks: band sliders and their labels, on/off, Reset, the presets by name
// and by genre; and the compressor gain.
#include "player/form1.h"

#include "controls/tbar.h"
#include "engine/enginesettings.h"
#include "player/sound/presetbox.h"
#include "player/sound/sounddeck.h"
#include "player/sound/soundwidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

namespace player {

namespace {

constexpr std::size_t kGainBytes = sizeof(std::int32_t) * 12;

// "+5", "-3", "0".
QString bandGainText(int gain)
{
    return gain > 0 ? QStringLiteral("+%1").arg(gain) : QString::number(gain);
}

}  // namespace

QString TForm1::FormatBandLabel(int frequency)
{
    return frequency > 999 ? QStringLiteral("%1K").arg(frequency / 1000) : QString::number(frequency);
}

void TForm1::TrackBar0Change(controls::TTBar* sender)
{
    const int band = sender->Tag;
    const int bands = engine::engineSettings().bandCount();
    if (band < 0 || band >= bands)
        return;  // a band the decks do not have
    for (int i = 0; i < bands; ++i)
        EqualizerGains[static_cast<std::size_t>(i)] = -TrackBar[static_cast<std::size_t>(i)]->value();
    const int gain = -sender->value();
    // The decks take band gains only while the equaliser is on, so that a slider moved while it is
    // off does not equalise the next track either; switching it on applies every band.
    if (SpeedButton1->isChecked())
        onDeckAThenB(SoundDecks.get(), [band, gain](SoundDeck& deck) { deck.SetEqualizerGain(band, gain); });
    leq[static_cast<std::size_t>(band)]->setText(bandGainText(gain));
}

void TForm1::SpeedButton1Click()
{
    if (!SpeedButton1->isChecked()) {
        onDeckAThenB(SoundDecks.get(), [](SoundDeck& deck) { deck.ResetEqualizer(); });
        return;
    }
    const int bands = engine::engineSettings().bandCount();
    onDeckAThenB(SoundDecks.get(), [this, bands](SoundDeck& deck) {
        for (int i = 0; i < bands; ++i)
            deck.SetEqualizerGain(i, -TrackBar[static_cast<std::size_t>(i)]->value());
    });
}

void TForm1::SpeedButton13Click()
{
    const int bands = engine::engineSettings().bandCount();
    for (int i = 0; i < bands; ++i)
        TrackBar[static_cast<std::size_t>(i)]->setValue(0);
    onDeckAThenB(SoundDecks.get(), [](SoundDeck& deck) { deck.ResetEqualizer(); });
}

void TForm1::eq_presetChange()
{
    const QString name = eq_preset->currentText();
    std::array<std::int32_t, 12> gains = EqualizerGains;
    const long read = equalizerPresets().load(name.toStdString(), gains.data(), kGainBytes);
    if (read < 0)
        return;
    // A short value sets the bands it holds whole; the others stay where they are.
    const int held = static_cast<int>(read / static_cast<long>(sizeof(std::int32_t)));
    const int bands = std::min(engine::engineSettings().bandCount(), held);
    for (int i = 0; i < bands; ++i) {
        controls::TTBar* bar = TrackBar[static_cast<std::size_t>(i)];
        bar->setValue(positionOfGain(*bar, gains[static_cast<std::size_t>(i)]));
    }
    if (eq_preset->currentText() != name)
        setPresetBoxText(eq_preset, name);
}

void TForm1::SpeedButton9Click()
{
    savePresetFromBox(eq_preset, equalizerPresets(), EqualizerGains.data(), kGainBytes);
}

void TForm1::SpeedButton10Click()
{
    deletePresetOfBox(eq_preset, equalizerPresets());
}

void TForm1::AutoEqualizerPreset(const QString& genre)
{
    const QString wanted = genre.toLower();
    int match = -1;
    for (int i = 0; i < eq_preset->count() && match < 0; ++i)
        if (eq_preset->itemText(i).toLower() == wanted)
            match = i;
    {
        const QSignalBlocker quiet(eq_preset);
        if (match >= 0) {
            eq_preset->setCurrentIndex(match);
            eq_preset->setEditText(eq_preset->itemText(match));
        } else {
            eq_preset->setEditText(QStringLiteral("Default"));
        }
    }
    eq_presetChange();
}

void TForm1::GainChange()
{
    const int gain = -Gain->value();
    CompressorRecord.gainDb = static_cast<float>(gain);
    onDeckAThenB(SoundDecks.get(), [this](SoundDeck& deck) { deck.SetCompressorParams(CompressorRecord); });
    lbcmgain->setText(QStringLiteral("%1 dB").arg(gain));
}

}  // namespace player
