// The end asked for by signal: the program's exit runs once from its loop, for Ctrl+C as for
// SIGTERM, and the deadline counts from the first signal, so that a second one (an impatient
// operator, a service manager that asks again) cannot keep a hung end alive.
#include "platform/exitsignal.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

#include <unistd.h>

namespace {

// Run in a process of its own (the deadline ends it): SIGTERM every 100 ms for 1.5 s while the
// exit, once run, does not end the loop. Exit status 0 with the deadline's message: the deadline
// held; 3: it never came.
[[noreturn]] void signalAgainAndAgain()
{
    int exits = 0;
    const platform::ExitOnSignal onSignal(std::chrono::milliseconds(300), std::string(), "test", [&exits] { ++exits; });
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1500) {
        ::kill(::getpid(), SIGTERM);
        QElapsedTimer gap;
        gap.start();
        while (gap.elapsed() < 100)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ::_exit(exits == 1 ? 3 : 4);
}

}  // namespace

TEST(ExitOnSignalDeathTest, TheDeadlineCountsFromTheFirstSignalHoweverManyFollow)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(signalAgainAndAgain(), ::testing::ExitedWithCode(0), "test: the end took too long");
}

namespace {

// Ctrl+C in the terminal: the exit runs from the loop, as for SIGTERM. Exit status 3: it ran once.
[[noreturn]] void interruptOnce()
{
    int exits = 0;
    const platform::ExitOnSignal onSignal(std::chrono::milliseconds(5000), std::string(), "test", [&exits] { ++exits; });
    ::kill(::getpid(), SIGINT);
    QElapsedTimer t;
    t.start();
    while (exits == 0 && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ::_exit(exits == 1 ? 3 : 4);
}

}  // namespace

TEST(ExitOnSignalDeathTest, CtrlCRunsTheExitAsTheEndOfASessionDoes)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(interruptOnce(), ::testing::ExitedWithCode(3), "");
}
