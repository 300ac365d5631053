// The pre-listen monitor on decks that record what they are told: its deck and the decks' pans for
// each monitor type, one window at a time, progress, volume and the end of the track.
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "controls/tbar.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "platform/inifile.h"
#include "player/form1.h"
#include "player/monitor/rearplay.h"
#include "player/profiles/profilehooks.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

using namespace player;

namespace {

// A deck that plays nothing and keeps what it was asked.
class RecordingDeck : public engine::TAudioEngine {
public:
    explicit RecordingDeck(platform::WindowHandle window) : TAudioEngine(window) {}
    void PlayFile(const std::string& fileName) override
    {
        played.push_back(fileName);
        if (opens) {
            LengthMs = lengthMs;
            SetState(engine::STATE_PLAY);
        }
    }
    void Stop() override { SetState(engine::STATE_STOP); }
    std::int32_t GetPosition() override { return positionMs; }
    void SetVolume(int volume) override { volumes.push_back(volume); }
    void SetPan(int pan) override
    {
        Pan = pan;
        pans.push_back(pan);
    }

    std::vector<std::string> played;
    std::vector<int> volumes;
    std::vector<int> pans;
    bool opens = true;
    std::int32_t lengthMs = 200000;
    std::int32_t positionMs = 0;
};

class Monitor : public playertest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        engine::EngineSettings settings;
        settings.MainDev = 3;
        settings.SecondDev = 4;
        engine::setEngineSettings(settings);
        makeForm();
        form->DeckA = std::make_unique<RecordingDeck>(form->handle());
        form->DeckB = std::make_unique<RecordingDeck>(form->handle());
        form->MakeMonitorDeck = [this](platform::WindowHandle window) {
            ++made;
            auto deck = std::make_unique<RecordingDeck>(window);
            deck->opens = monitorOpens;
            return deck;
        };
        for (const char* name : {"/m/one.mp3", "/m/two.mp3"})
            form->LVMaster->Rows.push_back(playertest::row(name, "03:00", name));
        form->LVMaster->syncView();
    }
    RecordingDeck& deck(const std::unique_ptr<engine::TAudioEngine>& d) { return static_cast<RecordingDeck&>(*d); }
    RecordingDeck& monitorDeck() { return static_cast<RecordingDeck&>(*form->RearPlay->deck()); }
    TRearPlay* open(int row)
    {
        form->LVMaster->selectRows({row});
        form->N51Click();
        return form->RearPlay;
    }
    // The window's own closing, then the deferred delete it asked for.
    void closeMonitor(TRearPlay* w)
    {
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int made = 0;
    bool monitorOpens = true;
};

TEST_F(Monitor, TypeZeroSplitsLeftForTheMonitorRightForTheDecksAndPutsThemBack)
{
    form->MonType = 0;
    form->DeckA->SetPan(-30);
    form->DeckB->SetPan(-30);
    deck(form->DeckA).pans.clear();
    deck(form->DeckB).pans.clear();
    TRearPlay* w = open(1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "two.mp3");
    EXPECT_EQ(monitorDeck().played, std::vector<std::string>{"/m/two.mp3"});
    EXPECT_EQ(monitorDeck().Pan, -100) << "the monitor plays on the left only";
    EXPECT_EQ(monitorDeck().Device, 3);
    EXPECT_EQ(monitorDeck().StreamFlags, 0);
    EXPECT_EQ(deck(form->DeckA).pans, std::vector<int>{100});
    EXPECT_EQ(deck(form->DeckB).pans, std::vector<int>{100});
    EXPECT_FALSE(form->tbPanning->isEnabled());
    EXPECT_FALSE(form->N51->isEnabled());

    // Whatever the settings say meanwhile, closing undoes what opening did.
    form->MonType = 2;
    closeMonitor(w);
    EXPECT_EQ(form->RearPlay, nullptr);
    EXPECT_EQ(deck(form->DeckA).pans, (std::vector<int>{100, -30}));
    EXPECT_EQ(deck(form->DeckB).pans, (std::vector<int>{100, -30}));
    EXPECT_TRUE(form->tbPanning->isEnabled());
    EXPECT_TRUE(form->N51->isEnabled());
}

TEST_F(Monitor, OtherTypesLeaveTheDecksAlone)
{
    for (const auto& [type, device, flags] : std::vector<std::tuple<int, int, std::int32_t>>{
             {1, 3, 0x2000000}, {2, 4, 0}, {7, 4, 0}, {-1, 4, 0}}) {
        form->MonType = type;
        TRearPlay* w = open(0);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(monitorDeck().Device, device) << type;
        EXPECT_EQ(monitorDeck().StreamFlags, flags) << type;
        EXPECT_EQ(monitorDeck().Pan, 0) << type;
        EXPECT_EQ(w->openedType(), type == 1 ? 1 : 2);
        closeMonitor(w);
        EXPECT_TRUE(deck(form->DeckA).pans.empty()) << type;
        EXPECT_TRUE(deck(form->DeckB).pans.empty()) << type;
        EXPECT_TRUE(form->tbPanning->isEnabled());
    }
}

TEST_F(Monitor, OneWindowAtATime)
{
    EXPECT_EQ(form->N51->text(), QStringLiteral("Подслушка"));
    EXPECT_TRUE(form->PopupMenu1->actions().contains(form->N51));
    form->LVMaster->selectRows({});
    form->N51Click();
    EXPECT_EQ(form->RearPlay, nullptr) << "nothing selected, nothing opens";

    TRearPlay* w = open(0);
    // Alt+Click on another row does not pass through the disabled menu item: it must not open a
    // second monitor, only bring the open one forward.
    form->LVMaster->selectRows({1});
    form->N51Click();
    EXPECT_EQ(form->RearPlay, w);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(form->findChildren<TRearPlay*>().size(), 1);
    EXPECT_EQ(monitorDeck().played, std::vector<std::string>{"/m/one.mp3"});
    closeMonitor(w);
    open(1);
    EXPECT_EQ(made, 2);
}

TEST_F(Monitor, ProgressVolumeAndTheEndOfTheTrack)
{
    form->RearVolume = 40;
    TRearPlay* w = open(0);
    EXPECT_EQ(monitorDeck().volumes, std::vector<int>{40});
    EXPECT_EQ(w->tbVolume->value(), 40);
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_EQ(w->Timer1->interval(), 50);

    monitorDeck().positionMs = 50000;
    w->Timer1Timer();
    EXPECT_EQ(w->pb->value(), 250);

    w->tbVolume->setValue(70);
    EXPECT_EQ(form->RearVolume, 70);
    EXPECT_EQ(monitorDeck().volumes.back(), 70);

    // The main window marks the monitor's deck ended when its end message comes: the next tick
    // closes the window, and the next monitor starts at the volume last set.
    monitorDeck().SetState(engine::STATE_END);
    QPointer<TRearPlay> watch(w);
    w->Timer1Timer();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_TRUE(form->N51->isEnabled());
    open(1);
    EXPECT_EQ(monitorDeck().volumes.front(), 70);

    platform::IniFile ini(std::string(), platform::IniFile::Mode::Buffered);
    form->SaveMonitorProfile(ini);
    EXPECT_EQ(ini.readInteger("Options", "RearVolume", 0), 70);
}

TEST_F(Monitor, AFileThatDoesNotOpenEndsTheWindowAtTheFirstTick)
{
    monitorOpens = false;
    TRearPlay* w = open(0);
    QPointer<TRearPlay> watch(w);
    w->Timer1Timer();
    EXPECT_EQ(w->pb->value(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());

    EXPECT_EQ(TRearPlay::barPosition(1000, 0), 0);
    EXPECT_EQ(TRearPlay::barPosition(999, 1000), 999);
    EXPECT_EQ(TRearPlay::barPosition(5000, 1000), 1000);
    EXPECT_EQ(TRearPlay::barPosition(-5, 1000), 0);
}

TEST_F(Monitor, CancelEscapeAndAltClick)
{
    TRearPlay* w = open(0);
    QPointer<TRearPlay> watch(w);
    EXPECT_EQ(w->Button1->text(), "Cancel");
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &esc);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());

    w = open(1);
    watch = w;
    w->Button1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());

    // A plain click opens nothing; with Alt held it opens the clicked row.
    form->LVMaster->resize(400, 300);
    form->LVMaster->doItemsLayout();
    const QPoint at = form->LVMaster->visualRect(form->LVMaster->model()->index(1, 2)).center();
    const auto click = [&](Qt::KeyboardModifiers shift) {
        QWidget* viewport = form->LVMaster->viewport();
        QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, shift);
        QApplication::sendEvent(viewport, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, shift);
        QApplication::sendEvent(viewport, &release);
    };
    click(Qt::NoModifier);
    EXPECT_EQ(form->LVMaster->selectedRows(), std::vector<int>{1});
    EXPECT_EQ(form->RearPlay, nullptr);
    form->LVMaster->selectRows({0});
    click(Qt::AltModifier);
    ASSERT_NE(form->RearPlay, nullptr);
    EXPECT_EQ(monitorDeck().played, std::vector<std::string>{"/m/two.mp3"});
}

TEST_F(Monitor, RearVolumeFromTheProfile)
{
    const auto hooks = profileHooks();
    EXPECT_TRUE(std::any_of(hooks.begin(), hooks.end(), [](const ProfileHook& h) {
        return h.load == &TForm1::LoadMonitorProfile && h.save == &TForm1::SaveMonitorProfile;
    }));
    playertest::TempDir dir;
    for (const auto& [text, volume] : std::vector<std::pair<std::string, int>>{
             {"RearVolume=35", 35}, {"RearVolume=250", 100}, {"RearVolume=-3", 0}, {"", 100}}) {
        const std::string path = dir.write("p.prf", "[Options]\n" + text + "\n");
        form->LoadMonitorProfile(platform::IniFile(path), ProfileLoad{path, false});
        EXPECT_EQ(form->RearVolume, volume) << text;
    }
}

}  // namespace
