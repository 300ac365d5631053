// Entry point of every test executable that has no main of its own: a Qt application object
// (offscreen unless a platform is set) so that timers, events and widgets work in tests, and a
// private prefix for named objects and a private registry file, so that test runs never meet each
// other or a running player.
#include "platform/objectnames.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string run = "qvtest-" + std::to_string(getpid());
    const bool ownPrefix = !std::getenv("QUORVALEN_PREFIX");
    if (ownPrefix)
        setenv("QUORVALEN_PREFIX", run.c_str(), 1);
    std::string registryFile;
    if (!std::getenv("QUORVALEN_REGISTRY_FILE")) {
        registryFile = QDir::tempPath().toStdString() + "/" + run + "-registry.ini";
        setenv("QUORVALEN_REGISTRY_FILE", registryFile.c_str(), 1);
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    if (ownPrefix)
        platform::removeNamedObjects();
    if (!registryFile.empty()) {
        unlink(registryFile.c_str());
        unlink((registryFile + ".lock").c_str());
    }
    return result;
}
