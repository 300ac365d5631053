// The registry stand-in: typed values under hierarchical keys, kept in one file that two
// processes can change at the same time.
#include "platform/registry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_file = m_dir.path().toStdString() + "/config/registry.ini";
        setenv("QUORVALEN_REGISTRY_FILE", m_file.c_str(), 1);
    }
    void TearDown() override { unsetenv("QUORVALEN_REGISTRY_FILE"); }
    QTemporaryDir m_dir;
    std::string m_file;
};

using RegistryValues = RegistryTest;
using RegistryKeys = RegistryTest;
using RegistryStore = RegistryTest;

constexpr auto HKCU = RegistryRoot::CurrentUser;
constexpr auto HKCR = RegistryRoot::ClassesRoot;
constexpr auto HKLM = RegistryRoot::LocalMachine;

}  // namespace

TEST_F(RegistryValues, TypedValuesRoundTripAndStayApartPerRoot)
{
    EXPECT_EQ(Registry::storePath(), m_file);
    const std::vector<std::uint8_t> pos = {10, 0, 0, 0, 20, 0, 0, 0, 0x20, 3, 0, 0, 0x58, 2, 0, 0};
    ASSERT_TRUE(Registry::writeBinary(HKCU, "Software\\Caldrivane", "PosData", pos));
    ASSERT_TRUE(Registry::writeString(HKCR, ".mp3", "", "Quorvalen.File"));
    ASSERT_TRUE(Registry::writeInteger(HKLM, "Software/Caldrivane", "Count", -5000000000LL));

    EXPECT_EQ(Registry::readBinary(HKCU, "software/caldrivane/", "posdata"), pos);
    EXPECT_EQ(Registry::readString(HKCR, "\\.MP3", ""), "Quorvalen.File");
    EXPECT_EQ(Registry::readInteger(HKLM, "SOFTWARE\\Caldrivane", "COUNT"), -5000000000LL);
    // Same key under another root, or another type, is not the value.
    EXPECT_FALSE(Registry::readBinary(HKLM, "Software\\Caldrivane", "PosData"));
    EXPECT_FALSE(Registry::readInteger(HKCU, "Software\\Caldrivane", "PosData"));
    EXPECT_FALSE(Registry::readString(HKCR, ".mp3", "missing"));

    ASSERT_TRUE(Registry::writeInteger(HKCU, "Software\\Caldrivane", "PosData", 3));
    EXPECT_EQ(Registry::readInteger(HKCU, "Software\\Caldrivane", "PosData"), 3);
    EXPECT_FALSE(Registry::readBinary(HKCU, "Software\\Caldrivane", "PosData"));
}

TEST_F(RegistryValues, AwkwardNamesAndTextsSurvive)
{
    const std::string text = "  \"player\" file \"%1\" 100% \r\nline two\t ";
    ASSERT_TRUE(Registry::writeString(HKCR, "Quorvalen.File\\shell\\open\\command", "", text));
    ASSERT_TRUE(Registry::writeString(HKCU, "K", "a=b", "1"));
    ASSERT_TRUE(Registry::writeString(HKCU, "K", "[x]", "2"));
    ASSERT_TRUE(Registry::writeString(HKCU, "K", " pad ", "3"));
    ASSERT_TRUE(Registry::writeString(HKCU, "K", "Имя", "Значение"));
    EXPECT_EQ(Registry::readString(HKCR, "Quorvalen.File\\shell\\open\\command", ""), text);
    EXPECT_EQ(Registry::readString(HKCU, "K", "a=b"), "1");
    EXPECT_EQ(Registry::readString(HKCU, "K", "[X]"), "2");
    EXPECT_EQ(Registry::readString(HKCU, "K", " pad "), "3");
    EXPECT_FALSE(Registry::readString(HKCU, "K", "pad"));
    EXPECT_EQ(Registry::readString(HKCU, "K", "имя"), "Значение");
    EXPECT_EQ(Registry::readString(HKCU, "K", "a"), std::nullopt);

    // A path as the file system gave it, not UTF-8 ("Кино" in code page 1251), comes back as
    // its bytes, as name and as value; a key of such bytes is refused rather than lost.
    const std::string path = "/music/\xca\xe8\xed\xee/1.mp3";
    ASSERT_TRUE(Registry::writeString(HKCU, "K", path, path));
    EXPECT_EQ(Registry::readString(HKCU, "K", path), path);
    EXPECT_EQ(Registry::readString(HKCU, "K", "Имя"), "Значение") << "UTF-8 stays as it is";
    EXPECT_FALSE(Registry::writeString(HKCU, "K\\\xca\xe8", "v", "1"));
    EXPECT_FALSE(Registry::keyExists(HKCU, "K\\\xca\xe8"));
}

TEST_F(RegistryKeys, SubkeysExistenceAndDeletion)
{
    ASSERT_TRUE(Registry::writeInteger(HKCU, "Software\\A\\One", "v", 1));
    ASSERT_TRUE(Registry::writeInteger(HKCU, "Software\\A\\Two\\Deep", "v", 2));
    ASSERT_TRUE(Registry::writeInteger(HKCU, "Software\\A", "own", 3));
    ASSERT_TRUE(Registry::writeInteger(HKCU, "Software\\AB", "v", 4));

    EXPECT_TRUE(Registry::keyExists(HKCU, "software"));  // only through its subkeys
    EXPECT_TRUE(Registry::keyExists(HKCU, "Software\\a\\two"));
    EXPECT_FALSE(Registry::keyExists(HKCU, "Software\\A\\Three"));
    EXPECT_FALSE(Registry::keyExists(HKLM, "Software\\A"));
    EXPECT_EQ(Registry::subKeys(HKCU, "Software\\A"), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(Registry::subKeys(HKCU, "Software"), (std::vector<std::string>{"A", "AB"}));

    ASSERT_TRUE(Registry::deleteValue(HKCU, "Software\\A", "OWN"));
    EXPECT_FALSE(Registry::readInteger(HKCU, "Software\\A", "own"));
    ASSERT_TRUE(Registry::deleteKey(HKCU, "software\\a"));
    EXPECT_FALSE(Registry::keyExists(HKCU, "Software\\A"));
    EXPECT_FALSE(Registry::readInteger(HKCU, "Software\\A\\Two\\Deep", "v"));
    EXPECT_EQ(Registry::readInteger(HKCU, "Software\\AB", "v"), 4);  // a sibling, not a subkey
    EXPECT_FALSE(Registry::deleteKey(HKCU, ""));                      // a root is not deleted
}

TEST_F(RegistryStore, FailedWritesAreReported)
{
    EXPECT_FALSE(Registry::writeString(HKCU, "", "v", "no values on a root"));
    EXPECT_FALSE(Registry::writeString(HKCU, "Bad]Key", "v", "x"));
    EXPECT_FALSE(Registry::writeString(HKCU, "K", "v", std::string(3000, 'x')));

    const std::string blocker = m_dir.path().toStdString() + "/file";
    std::ofstream(blocker) << "x";
    setenv("QUORVALEN_REGISTRY_FILE", (blocker + "/registry.ini").c_str(), 1);
    EXPECT_FALSE(Registry::writeInteger(HKCU, "K", "v", 1));
    EXPECT_FALSE(Registry::readInteger(HKCU, "K", "v"));
}

TEST_F(RegistryStore, DamagedFileGivesNoValueNotACrash)
{
    ASSERT_TRUE(Registry::writeInteger(HKCU, "K", "ok", 1));
    std::ofstream(m_file, std::ios::trunc) << "[HKEY_CURRENT_USER\\K]\r\n@ok=i:1\r\n@odd=b:ABC\r\n@int=i:12x\r\n"
                                              "@bin=b:zz\r\n@str=s:50%\r\n@=\r\n@big=i:99999999999999999999\r\n"
                                              "[HKEY_CURRENT_USER\\\r\n";
    EXPECT_EQ(Registry::readInteger(HKCU, "K", "ok"), 1);
    EXPECT_FALSE(Registry::readBinary(HKCU, "K", "odd"));
    EXPECT_FALSE(Registry::readBinary(HKCU, "K", "bin"));
    EXPECT_FALSE(Registry::readInteger(HKCU, "K", "int"));
    EXPECT_FALSE(Registry::readInteger(HKCU, "K", "big"));
    EXPECT_FALSE(Registry::readString(HKCU, "K", ""));
    EXPECT_EQ(Registry::readString(HKCU, "K", "str"), "50%");
    ASSERT_TRUE(Registry::writeInteger(HKCU, "K", "after", 2));
    EXPECT_EQ(Registry::readInteger(HKCU, "K", "after"), 2);
    EXPECT_EQ(Registry::readInteger(HKCU, "K", "ok"), 1);
}

TEST_F(RegistryStore, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int kEach = 60;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool ok = true;
        for (int i = 0; i < kEach; ++i)
            ok = Registry::writeInteger(HKCU, "Child", "v" + std::to_string(i), i) && ok;
        _exit(ok ? 0 : 1);
    }
    bool ok = true;
    for (int i = 0; i < kEach; ++i)
        ok = Registry::writeInteger(HKCU, "Parent", "v" + std::to_string(i), i) && ok;
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(ok);
    for (int i = 0; i < kEach; ++i) {
        EXPECT_EQ(Registry::readInteger(HKCU, "Child", "v" + std::to_string(i)), i);
        EXPECT_EQ(Registry::readInteger(HKCU, "Parent", "v" + std::to_string(i)), i);
    }
}
