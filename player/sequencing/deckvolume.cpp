// Both decks' volume, leaving a fading deck to its fade.
#include "player/sequencing/deckvolume.h"

#include "player/sequencing/fadeout.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <algorithm>

namespace player {

void applyDeckVolume(PlaybackSequencer& sequencer, int volume)
{
    volume = std::clamp(volume, 0, 100);
    // The fade starts only on this (the user-interface) thread, so a fade seen as not running
    // cannot begin before the volume is set; one that ends meanwhile has stopped its deck.
    const FadeOut& fade = sequencer.fadeOut();
    SequencerDeck* fading = fade.running() ? fade.deck() : nullptr;
    SequencerDeck* decks[] = {&sequencer.deckA(), &sequencer.deckB()};
    for (SequencerDeck* deck : decks) {
        if (deck != fading)
            deck->SetVolume(volume);
    }
}

}  // namespace player
