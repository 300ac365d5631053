// Test entry of the cross-process tests: runs the tests, or, with "--peer", the other process of
// a test. Every run uses a prefix of its own for named objects and removes them at the end.
#include "ipc_testsupport.h"

#include "platform/objectnames.h"
#include "tests/common/isolatedrun.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--peer") == 0)
        return ipctest::runPeer(argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Peers inherit the run's prefix, so they meet the test and nobody else.
    setenv("QUORVALEN_PREFIX", ("qvt-ipc-" + std::to_string(getpid())).c_str(), 1);
    const testrun::IsolatedRun run("qvt-ipc");
    int result;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    platform::removeNamedObjects();
    return result;
}
