// The pieces of a profile that need no window: the profile folder's listing and new names, the
// column-width records, font style bits and the keys kept as read.
#include "platform/inifile.h"
#include "player/profiles/profilelayout.h"
#include "player/profiles/profilelist.h"
#include "player/profiles/profilevalues.h"
#include "tests/player/playerfixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

using platform::IniFile;
using namespace player;

TEST(ProfileList, ProfilesInNameOrderWithoutRegardToCaseAtMostTheMenusShare)
{
    playertest::TempDir dir;
    EXPECT_TRUE(listProfiles(dir.path(), 50).empty());
    EXPECT_TRUE(listProfiles(dir.path() + "/missing", 50).empty());

    dir.write("work.prf", "");
    dir.write("Default.prf", "");
    dir.write("LOUD.PRF", "");
    dir.write("notes.txt", "");
    dir.write("prf", "");
    std::filesystem::create_directory(dir.path() + "/folder.prf");
    EXPECT_EQ(listProfiles(dir.path(), 50),
              (std::vector<std::string>{dir.path() + "/Default.prf", dir.path() + "/LOUD.PRF", dir.path() + "/work.prf"}));

    for (int i = 0; i < 57; ++i)
        dir.write("p" + std::to_string(100 + i) + ".prf", "");
    const std::vector<std::string> capped = listProfiles(dir.path() + "/", 50);
    ASSERT_EQ(capped.size(), 50u);
    EXPECT_EQ(capped.front(), dir.path() + "/Default.prf");
    EXPECT_EQ(capped[1], dir.path() + "/LOUD.PRF");
    EXPECT_EQ(capped.back(), dir.path() + "/p147.prf") << "the first 50 in name order; work.prf is past them";
}

TEST(ProfileList, CaptionsAndNewNames)
{
    EXPECT_EQ(profileCaption("/p/Profile/Work.prf"), "Work");
    EXPECT_EQ(profileCaption("/p/Profile/a.b.PRF"), "a.b");
    EXPECT_EQ(profileCaption("/p/x"), "");

    for (const char* bad : {"", ".", "..", "a/b", "a\\b", "tab\there", "line\nbreak", "\x7f", ".prf", ".PRF"})
        EXPECT_FALSE(validProfileName(bad)) << bad;
    EXPECT_FALSE(validProfileName(std::string(252, 'x'))) << "no room for the extension";
    for (const char* good : {"Work", "Утро", "a.b", "Night show", "..x"})
        EXPECT_TRUE(validProfileName(good)) << good;
    EXPECT_TRUE(validProfileName(std::string(251, 'x')));
    EXPECT_EQ(profileFileName("Work"), "Work.prf");
    EXPECT_EQ(profileFileName("Work.PRF"), "Work.PRF");
    EXPECT_EQ(profileFileName("a.prf.bak"), "a.prf.bak.prf");
}

TEST(ProfileColumns, ShortLongAndMissingRecordsOverTheWidthsHeld)
{
    ColumnWidths widths{};
    widths.fill(7);
    IniFile ini(std::string(), IniFile::Mode::Buffered);
    readColumnWidths(ini, "Master", widths);
    EXPECT_EQ(widths[0], 7) << "a missing value replaces nothing";

    // 300 in the first two bytes only: the rest of the first width and the others stay.
    ini.writeString("Columns", "Master", "2C01");
    readColumnWidths(ini, "Master", widths);
    EXPECT_EQ(widths[0], 300);
    EXPECT_EQ(widths[1], 7);

    // Seventeen widths: the one past the record is ignored; little-endian, negative allowed.
    std::string text;
    for (int c = 0; c < 17; ++c)
        text += c == 2 ? "FFFFFFFF" : "0A000000";
    ini.writeString("Columns", "Slave", text);
    widths.fill(0);
    readColumnWidths(ini, "Slave", widths);
    EXPECT_EQ(widths[0], 10);
    EXPECT_EQ(widths[2], -1);
    EXPECT_EQ(widths[15], 10);

    ColumnWidths out{};
    out[0] = 25;
    out[1] = 0x01020304;
    writeColumnWidths(ini, "Master", out);
    EXPECT_EQ(ini.readString("Columns", "Master", ""), "19000000" "04030201" + std::string(112, '0'));
}

TEST(ProfileFont, AStyleThatIsPresentSetsTheStyleExactlyAndMissingKeysKeepTheFont)
{
    QFont bold(QStringLiteral("Sans"), 9);
    bold.setBold(true);
    bold.setUnderline(true);
    ProfileFont f = profileFontOf(bold, QColor(1, 2, 3));
    EXPECT_EQ(f.styleBits, 2 | 8);

    IniFile ini(std::string(), IniFile::Mode::Buffered);
    readProfileFont(ini, "Font", f);
    EXPECT_EQ(f.styleBits, 10) << "no Style key: the current style";
    EXPECT_EQ(f.pointSize, 9);
    EXPECT_EQ(f.color, QColor(1, 2, 3));

    ini.writeInteger("Font", "Style", 4);
    ini.writeInteger("Font", "Size", 0);
    ini.writeString("Font", "Name", "");
    ini.writeInteger("Font", "Color", 0x0000FF);  // 0x00BBGGRR: red
    readProfileFont(ini, "Font", f);
    const QFont applied = applyProfileFont(bold, f);
    EXPECT_FALSE(applied.bold()) << "a clear bit removes its style";
    EXPECT_FALSE(applied.underline());
    EXPECT_TRUE(applied.italic());
    EXPECT_EQ(applied.family(), QStringLiteral("Sans")) << "an empty name keeps the font";
    EXPECT_EQ(applied.pointSize(), 9) << "a size of 0 keeps the size";
    EXPECT_EQ(f.color, QColor(255, 0, 0));

    ini.writeInteger("Font", "Style", 2 | 4 | 8 | 16);
    ini.writeInteger("Font", "Size", 100000);
    readProfileFont(ini, "Font", f);
    const QFont all = applyProfileFont(QFont(), f);
    EXPECT_TRUE(all.bold() && all.italic() && all.underline() && all.strikeOut());
    EXPECT_EQ(all.pointSize(), 9);
}

}  // namespace
