// The player's file types in the registry store: every row, the unquoted program path, values
// overwritten, and a refused write stopping the rows after it.
#include "media/shellfiletypes.h"

#include "platform/registry.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using platform::Registry;
using platform::RegistryRoot;

std::string classValue(const std::string& key)
{
    return Registry::readString(RegistryRoot::ClassesRoot, key, "").value_or("<none>");
}

TEST(RegisterFileTypes, WritesEveryTypeWithTheProgramPathUnquoted)
{
    ASSERT_TRUE(Registry::writeString(RegistryRoot::ClassesRoot, ".mp3", "", "OtherPlayer.mp3"));
    const std::string program = "/opt/on air/player";
    media::RegisterFileTypes(program);
    for (const char* ext : {".mp3", ".wav", ".wma", ".ogg"})
        EXPECT_EQ(classValue(ext), "Quorvalen.File") << ext;
    EXPECT_EQ(classValue(".m3u"), "Quorvalen.List");
    EXPECT_EQ(classValue("Quorvalen.File"), "Media File");
    EXPECT_EQ(classValue("Quorvalen.List"), "Playlist File");
    EXPECT_EQ(classValue("Quorvalen.File\\DefaultIcon"), "/opt/on air/player,1");
    EXPECT_EQ(classValue("Quorvalen.List\\DefaultIcon"), "/opt/on air/player,2");
    EXPECT_EQ(classValue("Quorvalen.File\\Shell\\open\\command"), "/opt/on air/player file \"%1\"");
    EXPECT_EQ(classValue("Quorvalen.List\\Shell\\open\\command"), "/opt/on air/player list \"%1\"");

    media::RegisterFileTypes("/usr/bin/player");  // repeated on every call
    EXPECT_EQ(classValue("Quorvalen.File\\DefaultIcon"), "/usr/bin/player,1");
}

TEST(RegisterFileTypes, RefusedWriteStopsTheRowsAfterIt)
{
    Registry::deleteKey(RegistryRoot::ClassesRoot, ".m3u");
    Registry::deleteKey(RegistryRoot::ClassesRoot, "Quorvalen.File");
    // A path too long for the store makes the icon row (the sixth) fail.
    const std::string longPath = "/" + std::string(4000, 'p');
    try {
        media::RegisterFileTypes(longPath);
        FAIL() << "a refused write must be reported";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for ''");
    }
    EXPECT_EQ(classValue("Quorvalen.File"), "Media File") << "rows before the failure stay";
    EXPECT_EQ(classValue(".m3u"), "<none>") << "rows after the failure are not written";
}

}  // namespace
