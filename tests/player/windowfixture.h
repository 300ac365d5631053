// The main window in a test: a temporary program folder, scripted message boxes and the window
// itself. Each fixture adds how its audio device and timers are set up.
#pragma once

#include "playerfixtures.h"

#include "engine/enginesettings.h"
#include "platform/recordedusermessages.h"
#include "player/form1.h"

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

    // The boxes of the player's error path (the search server's start may show its own).
    std::vector<platform::RecordedUserMessages::Shown> errorBoxes() const
    {
        std::vector<platform::RecordedUserMessages::Shown> boxes;
        for (const auto& shown : messages.shown())
            if (shown.caption == "Player: Error")
                boxes.push_back(shown);
        return boxes;
    }

    TempDir programDir;
    platform::RecordedUserMessages messages;
    std::unique_ptr<player::TForm1> form;
};

}  // namespace playertest
