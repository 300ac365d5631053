// The program folder and the mapping of the programs' relative names onto it.
#include "platform/programfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace platform;

namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("QUORVALEN_PROGRAM_DIR");
        m_hadOld = old != nullptr;
        if (old)
            m_old = old;
    }
    void TearDown() override
    {
        if (m_hadOld)
            setenv("QUORVALEN_PROGRAM_DIR", m_old.c_str(), 1);
        else
            unsetenv("QUORVALEN_PROGRAM_DIR");
    }
    bool m_hadOld = false;
    std::string m_old;
};

}  // namespace

TEST_F(ProgramFolderTest, DefaultsToTheExecutablesFolder)
{
    unsetenv("QUORVALEN_PROGRAM_DIR");
    const std::string exeDir = std::filesystem::canonical(QV_TEST_BIN_DIR).string() + "/";
    EXPECT_EQ(executableFolder(), exeDir);
    EXPECT_EQ(programFolder(), exeDir);
}

TEST_F(ProgramFolderTest, EnvironmentVariableOverridesOnlyTheProgramFolder)
{
    // A "\" in a folder's name is part of the name, in the folder and in paths built on it.
    setenv("QUORVALEN_PROGRAM_DIR", "/tmp/some\\where", 1);
    EXPECT_EQ(programFolder(), "/tmp/some\\where/");
    EXPECT_EQ(programPath("Profile\\Default.prf"), "/tmp/some\\where/Profile/Default.prf");
    EXPECT_EQ(programPath(programPath("Profile\\Default.hst")), "/tmp/some\\where/Profile/Default.hst");
    EXPECT_NE(executableFolder(), programFolder());

    setenv("QUORVALEN_PROGRAM_DIR", "rel", 1);
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(programFolder(), cwd + "/rel/");
}

TEST_F(ProgramFolderTest, RelativeNamesMapUnderItAbsoluteOnesStay)
{
    setenv("QUORVALEN_PROGRAM_DIR", "/opt/q/", 1);
    EXPECT_EQ(programPath("system.ini"), "/opt/q/system.ini");
    EXPECT_EQ(programPath(".\\Lang\\ru\\lang.ini"), "/opt/q/Lang/ru/lang.ini");
    EXPECT_EQ(programPath("/var/music/a.mp3"), "/var/music/a.mp3");
    EXPECT_EQ(programPath(""), "/opt/q/");
    EXPECT_EQ(toSlashes("a\\b\\\\c/d"), "a/b//c/d");
}
