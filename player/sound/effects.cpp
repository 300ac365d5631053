// The main window's side of the five effects: applying them to both decks, and opening the
// effects window.
#include "player/form1.h"

#include "player/language/translate.h"
#include "player/sound/fxform.h"
#include "player/sound/sounddeck.h"

namespace player {

void TForm1::ApplyEffects()
{
    SoundDeck* deckA = SoundDecks ? SoundDecks->deckA() : nullptr;
    SoundDeck* deckB = SoundDecks ? SoundDecks->deckB() : nullptr;
    if (deckA != nullptr && deckB != nullptr)
        applyEffects(Effects, *deckA, *deckB);
}

void TForm1::Button2Click()
{
    // One window at a time: a second click brings the open one to the front.
    if (!FXFrm) {
        FXFrm = new TFXFrm(*this);
        TranslateForm(FXFrm, "FXFrm.Captions");
        ApplyLangSection(LanguageFileName(), "FXFrm.Units", FXFrm, LangKind::Unit);
    }
    FXFrm->show();
    FXFrm->raise();
    FXFrm->activateWindow();
}

}  // namespace player
