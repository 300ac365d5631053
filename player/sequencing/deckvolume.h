// The volume of both decks as the main window sets it (the jingle window ducks the decks with it),
// without fighting a running fade-out for the deck it is fading.
#pragma once

namespace player {

class PlaybackSequencer;

// Sets deck A and deck B to volume (0..100), except a deck whose fade-out is running: that deck's
// volume belongs to the fade until it has finished.
void applyDeckVolume(PlaybackSequencer& sequencer, int volume);

}  // namespace player
