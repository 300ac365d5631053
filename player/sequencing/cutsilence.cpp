// The silence cut of the decks: leading and trailing silence of every item is skipped, or none.
#include "player/form1.h"

#include "engine/audioengine.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QLabel>

namespace player {

void TForm1::SetCutSilence(bool on)
{
    CutSilence = on;
    // Both roles, whichever member plays which now; an item already playing keeps its own cut.
    if (Sequencer)
        for (SequencerDeck* role : {&Sequencer->deckA(), &Sequencer->deckB()})
            if (engine::TAudioEngine* deck = engineOf(*role))
                deck->SkipSilence = on;
    // The label shows the cut of the item on air; a second label of its kind does not exist yet.
    if (Label10)
        Label10->setVisible(on);
}

}  // namespace player
