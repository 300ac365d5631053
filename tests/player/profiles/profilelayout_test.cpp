// A profile's file order: a new file comes out in the profile's section and key order, an existing
// file keeps what the program does not know, and values are copied byte for byte.
#include "player/profiles/profilelayout.h"

#include "platform/inifile.h"
#include "tests/player/playerfixtures.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using platform::IniFile;

IniFile staged()
{
    return IniFile(std::string(), IniFile::Mode::Buffered);
}

std::string save(const IniFile& from, const std::string& path)
{
    IniFile to(path, IniFile::Mode::Buffered);
    player::writeInLayoutOrder(from, to);
    EXPECT_TRUE(to.flush());
    return playertest::TempDir().read(path);
}

TEST(ProfileLayout, ANewFileHasTheSectionsAndKeysInProfileOrderWhateverOrderTheyWereWrittenIn)
{
    playertest::TempDir dir;
    IniFile s = staged();
    s.writeInteger("Options", "FormHeight", 573);
    s.writeInteger("QuietDetection", "Interval", 120);
    s.writeInteger("Options", "Close", 1);
    s.writeBinary("Crossfade", "Settings", "\x01\x02", 2);
    s.writeBool("QuietDetection", "On", false);
    s.writeString("Explorer", "Path", "/music");
    s.writeBool("Options", "PlaylistCenter", true);
    EXPECT_EQ(save(s, dir.path() + "/a.prf"),
              "[Explorer]\r\nPath=/music\r\n\r\n"
              "[Crossfade]\r\nSettings=0102\r\n\r\n"
              "[QuietDetection]\r\nOn=0\r\nInterval=120\r\n\r\n"
              "[Options]\r\nPlaylistCenter=1\r\nClose=1\r\nFormHeight=573\r\n");
}

TEST(ProfileLayout, AnExistingFileKeepsItsOrderItsUnknownKeysAndSectionsAndGainsTheNewOnes)
{
    playertest::TempDir dir;
    const std::string path = dir.write("b.prf",
                                       "; kept\r\n[Options]\r\nMine=7\r\nClose=0\r\n\r\n"
                                       "[Other]\r\nX=1\r\n");
    IniFile s = staged();
    s.writeInteger("Options", "Close", 1);
    s.writeInteger("Options", "Volume", 50);
    s.writeString("Explorer", "Path", "/m");
    s.writeString("Plugin", "Own", "v");  // a section the layout does not list
    const std::string text = save(s, path);
    EXPECT_EQ(text,
              "; kept\r\n[Options]\r\nMine=7\r\nClose=1\r\nVolume=50\r\n\r\n"
              "[Other]\r\nX=1\r\n\r\n"
              "[Explorer]\r\nPath=/m\r\n\r\n"
              "[Plugin]\r\nOwn=v\r\n");
}

TEST(ProfileLayout, ValuesAreCopiedUnchangedQuotesBlanksAndLongValuesIncluded)
{
    playertest::TempDir dir;
    IniFile s = staged();
    const std::string longValue(3000, 'x');  // longer than a read returns
    s.writeString("Options", "ID_A", "\"Commercial\"");
    s.writeString("Options", "ID_J", "  Jingle  ");
    s.writeString("Options", "DefBase", longValue);
    const std::string text = save(s, dir.path() + "/c.prf");
    EXPECT_NE(text.find("ID_A=\"Commercial\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("ID_J=  Jingle  \r\n"), std::string::npos);
    EXPECT_NE(text.find("DefBase=" + longValue + "\r\n"), std::string::npos);
    EXPECT_EQ(IniFile(s).rawValue("Options", "Missing"), std::nullopt);
}

TEST(ProfileLayout, EverySectionAndKeyIsListedOnce)
{
    std::set<std::string> sections;
    for (const auto& section : player::profileLayout()) {
        EXPECT_TRUE(sections.insert(std::string(section.name)).second) << section.name;
        std::set<std::string_view> keys(section.keys.begin(), section.keys.end());
        EXPECT_EQ(keys.size(), section.keys.size()) << section.name;
    }
    EXPECT_EQ(sections.size(), 18u);
}

}  // namespace
