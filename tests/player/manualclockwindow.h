// The main window on the "no sound" device's manual clock: nothing plays until the test moves the
// clock, one main-timer period at a time, with end messages delivered and jingle windows ticked.
#pragma once

#include "windowfixture.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "player/jingles/jinplayform.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace playertest {

class ManualClockWindow : public WindowTest {
protected:
    static constexpr int kRate = 44100;
    static constexpr std::uint32_t kTickFrames = kRate / 20;

    void SetUp() override
    {
        WindowTest::SetUp();
        audiolib::setManualClock(true);
        programDir.write("system.ini", "[Device]\nMainDev=0\n");
        makeForm().FormCreate();
        form->maintimer->stop();  // ticks come from the test only
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        audiolib::setConfig(audiolib::kOptionStreamVolume, 100);  // process-wide
        audiolib::setManualClock(false);
    }
    // 50 ms of virtual time: the decks play on, end messages arrive, the jingle windows' timers
    // run and closed windows go.
    void tick(float* mix = nullptr)
    {
        audiolib::advance(kTickFrames, mix);
        QCoreApplication::sendPostedEvents();
        for (player::TfrmJinPlay* w : jingleWindows())
            w->Timer1Timer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    int ticksUntil(const std::function<bool()>& done, int limit = 200)
    {
        for (int i = 1; i <= limit; ++i) {
            tick();
            if (done())
                return i;
        }
        return -1;
    }
    // A click on the first row's cell of a column, inside the visible part of the list, and the
    // moment after it in which a view scrolls to what was clicked.
    static void clickFirstRow(QAbstractItemView* list, int column)
    {
        const QRect cell = list->visualRect(list->model()->index(0, column));
        const QPoint at(std::min(cell.center().x(), list->viewport()->width() - 8), cell.center().y());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::qWait(QApplication::doubleClickInterval() + 200);
    }
    // The jingle windows still open.
    std::vector<player::TfrmJinPlay*> jingleWindows() const
    {
        std::vector<player::TfrmJinPlay*> open;
        for (player::TfrmJinPlay* w : form->findChildren<player::TfrmJinPlay*>(Qt::FindDirectChildrenOnly))
            if (w->isVisible())
                open.push_back(w);
        return open;
    }
    std::string addTone(const std::string& name, double hz, double seconds)
    {
        const std::string path = programDir.write(name, toneWav(hz, seconds, kRate));
        form->AddFile(QString::fromStdString(path));
        form->RenumberList();
        return path;
    }
    void play(int row)
    {
        form->LVMaster->selectRows({row});
        form->aPlay();
    }
    engine::TAudioEngine& onAir() { return static_cast<player::EngineDeck&>(form->Sequencer->deckA()).engine(); }
    engine::TAudioEngine& offAir() { return static_cast<player::EngineDeck&>(form->Sequencer->deckB()).engine(); }
    int hl() const { return form->LVMaster->HLIndex; }
};

}  // namespace playertest
