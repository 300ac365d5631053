// The main window in a test: a temporary program folder, scripted message boxes and the window
// itself. Each fixture adds how its audio device and timers are set up.
#pragma once

#include "playerfixtures.h"

#include "audiolib/audiolib.h"
#include "engine/enginesettings.h"
#include "platform/recordedusermessages.h"
#include "player/form1.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace playertest {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("QUORVALEN_PROGRAM_DIR", programDir.path().c_str(), 1);
        platform::setUserMessages(&messages);
    }
    void TearDown() override
    {
        form.reset();
        platform::setUserMessages(nullptr);
        engine::setEngineSettings(engine::EngineSettings{});
        unsetenv("QUORVALEN_PROGRAM_DIR");
    }
    // A new window, its lists ready for editing.
    player::TForm1& makeForm()
    {
        form = std::make_unique<player::TForm1>();
        form->ListsReady = true;
        return *form;
    }

    // The boxes shown with this caption.
    std::vector<platform::RecordedUserMessages::Shown> boxes(const std::string& caption) const
    {
        std::vector<platform::RecordedUserMessages::Shown> found;
        for (const auto& shown : messages.shown())
            if (shown.caption == caption)
                found.push_back(shown);
        return found;
    }
    // The boxes of the player's error path (the search server's start may show its own).
    std::vector<platform::RecordedUserMessages::Shown> errorBoxes() const { return boxes("Player: Error"); }

    TempDir programDir;
    platform::RecordedUserMessages messages;
    std::unique_ptr<player::TForm1> form;
};

// The window made (FormCreate) on the "no sound" device's manual clock, with its own timers
// stopped: nothing moves unless the test advances the device or calls a handler.
class ManualClockWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        audiolib::setManualClock(true);
        programDir.write("system.ini", "[Device]\nMainDev=0\n");
        makeForm();
        beforeCreate();
        form->FormCreate();
        form->maintimer->stop();
        form->vistimer->stop();
        form->Timer1->stop();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        audiolib::setManualClock(false);
    }
    // What a test sets on the new window before FormCreate.
    virtual void beforeCreate() {}
};

}  // namespace playertest
