// The message strings from a language file, "Base.ini" defaults and round trip, the command line
// and the dialog centring rule.
#include "database/baseoptions.h"
#include "database/centerdialog.h"
#include "database/commandline.h"
#include "database/strconst.h"
#include "platform/cp1251.h"
#include "platform/inifile.h"
#include "testtracks.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

using namespace database;

namespace {

class StringsTest : public ::testing::Test {
protected:
    void TearDown() override { resetStrings(); }
    QTemporaryDir dir;
    std::string lang() const { return dir.filePath("lang_b.ini").toStdString(); }
};

TEST_F(StringsTest, OnlyKeysPresentReplaceDefaults)
{
    const std::string before = _ask_checkbase;
    // Ini rules trim blanks around a value; quotes keep the leading blank the text needs.
    dbtest::writeAll(lang(), "[Strings]\n_str1=\" records were removed\"\n");
    LoadStrings(lang());
    EXPECT_EQ(_str1, " records were removed");
    EXPECT_EQ(_ask_checkbase, before);
    EXPECT_EQ(_p_addtracks, "Добавление треков...");
}

TEST_F(StringsTest, EmptyValueReplacesAndCp1251FileIsDecoded)
{
    dbtest::writeAll(lang(), "[Strings]\n_p_readtags=\n_ask_savebase=" + platform::utf8ToCp1251("Сохранить?") +
                                 "\n_p_counttime=\"Counting...\"\n");
    LoadStrings(lang());
    EXPECT_EQ(_p_readtags, "");
    EXPECT_EQ(_ask_savebase, "Сохранить?");
    EXPECT_EQ(_p_counttime, "Counting...");
    EXPECT_EQ(_p_scanfolders, "Сканирование папок...");
}

TEST_F(StringsTest, MissingFileKeepsBuiltInTexts)
{
    LoadStrings(dir.filePath("none.ini").toStdString());
    EXPECT_EQ(_ask_delfile, "Удалить файл?");
    EXPECT_EQ(_str1, " записей было удалено");
}

TEST(BaseOptionsTest, DefaultsWrittenBackAndRoundTrip)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("Base.ini").toStdString();
    BaseOptions o;
    readBaseOptions(platform::IniFile(path), o);
    EXPECT_TRUE(o.NoEmpty && o.NoError && o.CheckTimeOnce && o.QSearch && o.CountTime);
    EXPECT_FALSE(o.OverwriteOnCopy || o.OpenLastBase || o.Tag_NoChangeGenre);
    EXPECT_EQ(o.Volume, 100);
    EXPECT_EQ(o.MonType, 3);
    EXPECT_EQ(o.Color1, 128);
    EXPECT_EQ(o.LastBaseName, "---");
    EXPECT_EQ(o.Colors[1], 0x80u);
    {
        platform::IniFile ini(path, platform::IniFile::Mode::Buffered);
        writeBaseOptions(ini, o);
        ASSERT_TRUE(ini.flush());
    }
    const platform::IniFile back(path);
    EXPECT_EQ(back.readString("Options", "NoEmpty", ""), "1");
    EXPECT_EQ(back.readString("Options", "OpenLastBase", ""), "0");
    EXPECT_EQ(back.readString("Data", "LastBaseName", ""), "---");
    EXPECT_EQ(back.readString("Options", "Colors", ""), "00000000800000000000800000800000");
    EXPECT_FALSE(back.valueExists("Options", "Color1"));

    BaseOptions changed;
    changed.NoEmpty = false;
    changed.Colors = {1, 2, 0xABCDEF, 4};
    changed.FontStyle = 2 | 16;
    changed.LastBaseName = "/data/Base.dfs";
    {
        platform::IniFile ini(path, platform::IniFile::Mode::Buffered);
        writeBaseOptions(ini, changed);
        ASSERT_TRUE(ini.flush());
    }
    BaseOptions read;
    readBaseOptions(platform::IniFile(path), read);
    EXPECT_FALSE(read.NoEmpty);
    EXPECT_EQ(read.Colors, changed.Colors);
    EXPECT_EQ(read.FontStyle, 18);
    EXPECT_EQ(read.LastBaseName, "/data/Base.dfs");
}

TEST(BaseOptionsTest, EveryNumberIsReadWithinItsRange)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("Base.ini").toStdString();
    std::ofstream(path) << "[Options]\nVolume=-2147483648\nMonType=7\nColor1=-1\n"
                           "[Font]\nSize=2147483647\nStyle=-1\n";
    BaseOptions o;
    readBaseOptions(platform::IniFile(path), o);
    EXPECT_EQ(o.Volume, 0);
    EXPECT_EQ(o.MonType, 3);
    EXPECT_EQ(o.Color1, 0);
    EXPECT_EQ(o.FontSize, 96);
    EXPECT_EQ(o.FontStyle, 2 | 4 | 8 | 16);
    std::ofstream(path) << "[Options]\nVolume=2147483647\nMonType=-5\nColor1=2147483647\n[Font]\nSize=-3\n";
    readBaseOptions(platform::IniFile(path), o);
    EXPECT_EQ(o.Volume, 100);
    EXPECT_EQ(o.MonType, 0);
    EXPECT_EQ(o.Color1, 0xFFFFFF);
    EXPECT_EQ(o.FontSize, 0) << "the list's own size";
}

TEST(CommandLineTest, ThreeModes)
{
    CommandLine c = parseCommandLine({});
    EXPECT_EQ(c.mode, StartMode::User);
    EXPECT_EQ(c.BFName, "---");
    EXPECT_FALSE(c.baseOnCommandLine);

    c = parseCommandLine({"/x/a.dfs"});
    EXPECT_EQ(c.mode, StartMode::User);
    EXPECT_EQ(c.BFName, "/x/a.dfs");
    EXPECT_TRUE(c.baseOnCommandLine);
    EXPECT_EQ(c.PlayerWindow, 0u);

    c = parseCommandLine({"hidden", "1234", "/x/b.dfs"});
    EXPECT_EQ(c.mode, StartMode::Hidden);
    EXPECT_EQ(c.BFName, "/x/b.dfs");
    EXPECT_EQ(c.PlayerWindow, 1234u);
    EXPECT_EQ(c.handleText, "1234");

    c = parseCommandLine({"fromplayer", "12x", "/x/c.dfs"});
    EXPECT_EQ(c.mode, StartMode::FromPlayer);
    EXPECT_EQ(c.PlayerWindow, 0u);  // not a number
    c = parseCommandLine({"Hidden", "5"});
    EXPECT_EQ(c.mode, StartMode::User);  // the mode word is case-sensitive
    EXPECT_EQ(c.BFName, "Hidden");
    c = parseCommandLine({"hidden", "99999999999"});
    EXPECT_EQ(c.PlayerWindow, 0u);  // out of range is no handle
    EXPECT_EQ(c.BFName, "---");
}

TEST(CenterDialogTest, CentresAndClampsToScreen)
{
    const QSize screen(1920, 1080);
    EXPECT_EQ(CenterDialog(QRect(0, 0, 200, 100), QRect(100, 100, 800, 600), screen), QPoint(400, 350));
    // Larger than the window near the left edge: x = 0.
    EXPECT_EQ(CenterDialog(QRect(0, 0, 900, 100), QRect(10, 100, 800, 600), screen).x(), 0);
    // Near the right and bottom edges: pulled back on screen.
    EXPECT_EQ(CenterDialog(QRect(0, 0, 600, 400), QRect(1700, 900, 400, 300), screen), QPoint(1320, 680));
    // Odd difference: rounded toward zero, also when negative.
    EXPECT_EQ(CenterDialog(QRect(0, 0, 101, 101), QRect(500, 500, 200, 200), screen), QPoint(549, 549));
    EXPECT_EQ(CenterDialog(QRect(0, 0, 203, 10), QRect(500, 500, 200, 200), screen).x(), 499);
}

}  // namespace

#include "database/errorlog.h"
#include "platform/recordedusermessages.h"

namespace {

TEST(ErrorLogTest, BoxNamesTheFileThatIsAppended)
{
    QTemporaryDir dir;
    setenv("QUORVALEN_PROGRAM_DIR", dir.path().toUtf8().constData(), 1);
    platform::RecordedUserMessages messages;
    platform::setUserMessages(&messages);
    ErrorLogState s;
    s.listCount = 3;
    s.list2Count = 5;
    s.searchEnabled = false;
    s.BFName = "/x/b.dfs";
    WriteErrorLog("AddFile", "boom", s);
    WriteErrorLog("ClearList (end)", "again", s);
    platform::setUserMessages(nullptr);

    const std::string path = errorLogPath();
    const std::string log = dbtest::readAll(path);
    const std::string rule(49, '=');
    EXPECT_EQ(log.find(rule + "\nException \"boom\" in function \"AddFile\"\n" + rule +
                       "\nList.Count = 3\nList2.Count = 5\nIndexes.Count = 0\n"),
              0u);
    EXPECT_NE(log.find("Button3.Enabled = 0\nBFName = /x/b.dfs\n\n"), std::string::npos);
    EXPECT_NE(log.find("Exception \"again\" in function \"ClearList (end)\""), std::string::npos);
    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_EQ(shown[0].text.rfind("Function: AddFile\r\nExeption: boom\r\n\r\n", 0), 0u);
    EXPECT_NE(shown[0].text.find(path), std::string::npos);
}

}  // namespace
