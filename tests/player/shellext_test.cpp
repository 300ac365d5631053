// The window's start registers the player's file types only while the ShellExt option is on.
#include "playerfixtures.h"

#include "audiolib/audiolib.h"
#include "platform/recordedusermessages.h"
#include "platform/registry.h"
#include "player/form1.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using platform::Registry;
using platform::RegistryRoot;

class ShellTypesAtStart : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        setenv("QUORVALEN_PROGRAM_DIR", programDir.path().c_str(), 1);
        programDir.write("system.ini", "[Device]\nMainDev=0\n");
        ASSERT_TRUE(audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0));
        platform::setUserMessages(&messages);
        Registry::deleteKey(RegistryRoot::ClassesRoot, ".mp3");
        Registry::deleteKey(RegistryRoot::ClassesRoot, "Quorvalen.List");
    }
    void TearDown() override
    {
        platform::setUserMessages(nullptr);
        audiolib::freeDevice();
        unsetenv("QUORVALEN_PROGRAM_DIR");
    }
    playertest::TempDir programDir;
    platform::RecordedUserMessages messages;
};

TEST_P(ShellTypesAtStart, FollowTheOption)
{
    const bool on = GetParam();
    {
        player::TForm1 form;
        form.Ini.ShellExt = on;
        form.FormCreate();
    }
    const auto type = Registry::readString(RegistryRoot::ClassesRoot, ".mp3", "");
    const auto command = Registry::readString(RegistryRoot::ClassesRoot, "Quorvalen.List\\Shell\\open\\command", "");
    if (on) {
        EXPECT_EQ(type, "Quorvalen.File");
        EXPECT_EQ(command, QCoreApplication::applicationFilePath().toStdString() + " list \"%1\"");
    } else {
        EXPECT_FALSE(type.has_value()) << "with the option off the store is not touched";
        EXPECT_FALSE(command.has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(Option, ShellTypesAtStart, ::testing::Bool());

}  // namespace
