// TForm1's side of the About box and the diagnostics window: the menu item, the window's creation
// and toggle, and the snapshot of playback it shows.
#include "player/form1.h"

#include "engine/audioengine.h"
#include "player/about/aboutfrm.h"
#include "player/about/dbgfrm.h"
#include "player/sequencing/crossfade.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace player {

namespace {

engine::TAudioEngine* engineIn(SequencerDeck& deck)
{
    auto* view = dynamic_cast<EngineDeck*>(&deck);
    return view != nullptr ? &view->engine() : nullptr;
}

}  // namespace

void TForm1::buildAboutMenu()
{
    N40 = new QAction(QStringLiteral("О программе..."), this);
    N40->setObjectName(QStringLiteral("N40"));
    mHelp->addAction(N40);
    connect(N40, &QAction::triggered, this, [this] { N40Click(); });
}

void TForm1::N40Click()
{
    auto* box = new Taboutfrm(this);
    TranslateForm(box, "About.Captions");
    box->show();
}

void TForm1::CreateDbgFrm()
{
    if (DbgFrm != nullptr)
        return;
    DbgFrm = new TDbgFrm(this);
    DbgFrm->State = [this] { return DebugState(); };
}

void TForm1::ToggleDbgFrm()
{
    if (DbgFrm == nullptr)
        return;
    // The window's timer follows its visibility (TDbgFrm's show and hide).
    DbgFrm->setVisible(!DbgFrm->isVisible());
    raise();
    activateWindow();
}

DbgSnapshot TForm1::DebugState()
{
    DbgSnapshot s;
    s.selectedRow = LVMaster->firstSelectedRow();
    s.playingRow = LVMaster->HLIndex;
    if (Sequencer) {
        s.fadeClass = Sequencer->GetCrossfadeClass();
        const auto index = static_cast<std::size_t>(s.fadeClass);
        if (index < Sequencer->table().records.size()) {
            const CrossfadeRecord& record = Sequencer->table().records[index];
            s.fadeSeconds = record.fadeSeconds;
            s.mixSeconds = record.mixSeconds;
        }
        s.fadedIsDeckA = Sequencer->fadedDeck() == &Sequencer->deckA();
        s.mixFlag = Sequencer->crossfadeFlag();
        s.timerId = Sequencer->fadeOut().timerId();
        s.fading = Sequencer->fadeOut().running();
        if (engine::TAudioEngine* a = engineIn(Sequencer->deckA()))
            s.fileA = a->FileName();
        if (engine::TAudioEngine* b = engineIn(Sequencer->deckB()))
            s.fileB = b->FileName();
    }
    s.upTimeMs = TickCount() - StartTime;
    if (engine::TAudioEngine* a = OnAirDeck()) {
        const engine::AutoAmpState& amp = a->autoAmpState();
        s.ampCount = amp.counter.load(std::memory_order_relaxed);
        s.ampHigh = amp.peak.load(std::memory_order_relaxed);
        s.ampQuiet = amp.quietRun.load(std::memory_order_relaxed);
        s.deviceA = a->Device;
    }
    if (Devices)
        s.output = Devices->summary().toStdString();
    return s;
}

}  // namespace player
