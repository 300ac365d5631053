// The player with nobody at the screen (a station on air unattended, a service manager, a shutdown):
// the boxes of its start wait until its window is up, what goes wrong while it ends is logged
// rather than boxed, and an end asked for by a signal is over within a bound whatever hangs.
#pragma once

#include "platform/unattendedmessages.h"

#include <chrono>
#include <string>

namespace player {

// The log of what the player could not show: "player.log" in the program folder (and always the
// error output).
std::string PlayerLogPath();

// While it lives, boxes that only inform are kept (the start goes on at once); release() puts the
// service back and shows the kept boxes from the message loop, after the window has come up.
class StartupMessages {
public:
    StartupMessages();
    ~StartupMessages();
    StartupMessages(const StartupMessages&) = delete;
    StartupMessages& operator=(const StartupMessages&) = delete;
    void release();

private:
    platform::UserMessages& m_previous;
    platform::HeldUserMessages m_held;
    bool m_holding = true;
};

// While it lives, every box and dialog is logged (error output and PlayerLogPath()) and answered
// with its default button.
class ShutdownMessages {
public:
    ShutdownMessages();
    ~ShutdownMessages();
    ShutdownMessages(const ShutdownMessages&) = delete;
    ShutdownMessages& operator=(const ShutdownMessages&) = delete;

private:
    platform::UserMessages& m_previous;
    platform::LoggedUserMessages m_logged;
};

// How long an end asked for by a signal may take before the process ends without finishing it.
inline constexpr std::chrono::milliseconds kExitDeadline{1500};

}  // namespace player
