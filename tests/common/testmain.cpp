// Entry point of every test executable that has no main of its own: a Qt application object
// (offscreen unless a platform is set) so that timers, events and widgets work in tests, in a run
// of its own (private named objects, registry file and desktop folders).
#include "tests/common/isolatedrun.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const testrun::IsolatedRun run("qvtest");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
