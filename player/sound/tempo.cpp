// Tempo, rate and pitch of both decks, their right-click reset, and the BPM of deck A: prepared a
// second after each start, converted after every change, measured on a click.
#include "player/form1.h"

#include "controls/tbar.h"
#include "player/sound/bpmmeter.h"
#include "player/sound/sounddeck.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <optional>

namespace player {

namespace {

constexpr int kRateStepHz = 50;
constexpr float kClickedSeconds = 30;

// The last measurement of deck A converted to the present tempo.
void showConvertedBpm(TForm1& form)
{
    SoundDeck* deck = form.SoundDecks ? form.SoundDecks->deckA() : nullptr;
    if (deck != nullptr)
        form.Label40->setText(QString::number(deck->GetBPM(0, 10, 1)));
}

}  // namespace

void TForm1::tbTempoChange()
{
    const int percent = tbTempo->value();
    onDeckAThenB(SoundDecks.get(), [percent](SoundDeck& deck) { deck.SetTempo(percent); });
    Label38->setText(QStringLiteral("%1%2%").arg(percent > 0 ? QStringLiteral("+") : QString()).arg(percent));
    showConvertedBpm(*this);
}

void TForm1::tbSampleChange()
{
    const int hz = tbSample->value() * kRateStepHz;
    onDeckAThenB(SoundDecks.get(), [hz](SoundDeck& deck) { deck.SetSampleRate(hz); });
    Label42->setText(QStringLiteral("%1Hz").arg(hz));
    showConvertedBpm(*this);
}

void TForm1::tbPitchChange()
{
    const int semitones = tbPitch->value();
    onDeckAThenB(SoundDecks.get(), [semitones](SoundDeck& deck) { deck.SetPitch(semitones); });
    Label44->setText(QString::number(semitones));
    showConvertedBpm(*this);
}

void TForm1::tbTempoMouseDouble(controls::TTBar* sender)
{
    if (sender != nullptr)
        sender->setValue(sender->Tag);
}

void TForm1::Timer2Timer()
{
    Timer2->stop();
    SoundDeck* deck = SoundDecks ? SoundDecks->deckA() : nullptr;
    if (deck == nullptr || !Bpm)
        return;
    // The BPM stream is opened from the file on the worker: a long file or a slow disk must not
    // hold the main timer. While a clicked measurement still runs there, this waits its turn.
    if (!Bpm->start(*deck, 0, 1, 2, [](std::optional<int>) {}))
        Timer2->start();
}

void TForm1::Label40Click()
{
    SoundDeck* deck = SoundDecks ? SoundDecks->deckA() : nullptr;
    if (Timer2->isActive() || deck == nullptr || !Bpm || Bpm->running())
        return;
    const auto startSeconds = static_cast<float>(deck->GetPosition() / 1000);
    Label40->setEnabled(false);
    QPointer<QLabel> label = Label40;
    Bpm->start(*deck, startSeconds, kClickedSeconds, 0, [label](std::optional<int> bpm) {
        if (!label)
            return;
        if (bpm)
            label->setText(QString::number(*bpm));
        label->setEnabled(true);
    });
}

}  // namespace player
