// A playlist as the file system and a damaged file give it: names that are not UTF-8 keep their
// bytes from reading to playing to saving (only the screen decodes them), and lines past 64 KiB
// are left out and counted in one report.
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "platform/cp1251.h"
#include "platform/pathtext.h"
#include "player/playlist/playlistfile.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"

#include <gtest/gtest.h>

using namespace player;

namespace {

// "Кино" in code page 1251: a name a file may have on this system though it is not UTF-8.
const std::string kLegacy = "\xCA\xE8\xED\xEE";

class PathBytes : public playertest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0));
        programDir.write("system.ini", "[Device]\nMainDev=0\n");
        makeForm();
        form->FormCreate();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        audiolib::freeDevice();
    }
    std::vector<std::string> boxes() const { return messages.boxTexts(); }
};

TEST_F(PathBytes, ANameThatIsNotUtf8IsPlayedAndSavedAsItsBytes)
{
    const std::string track = programDir.write(kLegacy + " - song.wav", playertest::wavFile(1, 8000, 8000 * 20));
    const std::string list = programDir.write(
        "list.m3u", "#EXTM3U\r\n#EXTINF:20," + kLegacy + " - song\r\n" + track + "\r\n");
    ASSERT_TRUE(form->LoadPlaylist(QString::fromStdString(list)));
    ASSERT_EQ(form->LVMaster->rowCount(), 1);
    const controls::TVirtualItem& row = form->LVMaster->Rows[0];
    EXPECT_EQ(platform::pathBytes(row.SubItems[3]), track);
    // The screen shows names decoded: the name line as text, the path as code page 1251.
    EXPECT_EQ(row.SubItems[1], QStringLiteral("Кино - song"));
    const QModelIndex pathCell = form->LVMaster->model()->index(0, 4);
    EXPECT_TRUE(form->LVMaster->model()->data(pathCell).toString().endsWith(QStringLiteral("Кино - song.wav")));

    form->LVMaster->selectRows({0});
    form->aPlay();
    engine::TAudioEngine& onAir = static_cast<EngineDeck&>(form->Sequencer->deckA()).engine();
    EXPECT_EQ(onAir.State(), engine::STATE_PLAY) << "the deck opened the file by its bytes";
    EXPECT_EQ(onAir.FileName(), track);

    const std::string saved = programDir.path() + "/saved.m3u";
    ASSERT_TRUE(form->SavePlaylist(QString::fromStdString(saved)));
    EXPECT_NE(programDir.read(saved).find("\r\n" + track + "\r\n"), std::string::npos) << "the bytes, not a conversion";
    form->aStopAction->trigger();

    // Added by a folder scan or by the command line, the same bytes.
    form->LVMaster->ClearRows();
    form->AddDir(QString::fromStdString(programDir.path()));
    ASSERT_EQ(form->LVMaster->rowCount(), 1);
    EXPECT_EQ(platform::pathBytes(form->LVMaster->Rows[0].SubItems[3]), track);
    EXPECT_EQ(form->LVMaster->Rows[0].SubItems[1], QStringLiteral("Кино - song"));
}

TEST_F(PathBytes, AListMadeElsewhereFindsFilesRenamedToUtf8)
{
    // The list holds the code page 1251 bytes; the file here has its UTF-8 name.
    const std::string track = programDir.write("Кино.wav", playertest::wavFile(1, 8000, 800));
    const std::string asListed = programDir.path() + "/" + kLegacy + ".wav";
    std::string windowsStyle = asListed;
    std::replace(windowsStyle.begin(), windowsStyle.end(), '/', '\\');
    const auto rows = ReadPlaylistFile(programDir.write(
        "old.m3u", "#EXTM3U\r\n#EXTINF:1,a\r\n" + asListed + "\r\n#EXTINF:1,b\r\n" + windowsStyle +
                       "\r\n#EXTINF:1,c\r\n/nowhere/" + kLegacy + ".wav\r\n"));
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ(platform::pathBytes((*rows)[0].SubItems[3]), track);
    EXPECT_EQ(platform::pathBytes((*rows)[1].SubItems[3]), track);
    EXPECT_EQ(platform::pathBytes((*rows)[2].SubItems[3]), "/nowhere/" + kLegacy + ".wav") << "missing: kept as listed";
}

TEST_F(PathBytes, LinesPast64KiBAreLeftOutAndCountedInOneReport)
{
    const std::string huge(10 << 20, 'x');
    const std::string list = programDir.write(
        "damaged.m3u", "#EXTM3U\r\n#EXTINF:1,first\r\n/m/1.mp3\r\n"
                       "#EXTINF:1," + huge + "\r\n/m/long-name.mp3\r\n"
                       "#EXTINF:1,long path\r\n/m/" + huge + "\r\n"
                       "#EXTINF:1,last\r\n/m/4.mp3\r\n"
                       "#EXTINF:1,at the bound\r\n/m/" + std::string(64 * 1024 - 3, 'y') + "\r\n");
    ASSERT_TRUE(form->LoadPlaylist(QString::fromStdString(list)));
    // A description past the bound leaves its path as a plain entry; a path past it, nothing.
    ASSERT_EQ(form->LVMaster->rowCount(), 4);
    EXPECT_EQ(form->LVMaster->Rows[0].SubItems[3], QStringLiteral("/m/1.mp3"));
    EXPECT_EQ(form->LVMaster->Rows[1].SubItems[3], QStringLiteral("/m/long-name.mp3"));
    EXPECT_EQ(form->LVMaster->Rows[1].SubItems[1], QStringLiteral("long-name"));
    EXPECT_EQ(form->LVMaster->Rows[2].SubItems[3], QStringLiteral("/m/4.mp3"));
    EXPECT_EQ(form->LVMaster->Rows[3].SubItems[3].size(), 64 * 1024) << "a line of exactly 64 KiB is kept";
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].find("64 КБ: 2"), std::string::npos) << boxes()[0];
    EXPECT_NE(boxes()[0].find("damaged.m3u"), std::string::npos);
}

}  // namespace

TEST_F(PathBytes, ARowWhoseFileNameHoldsALineBreakIsLeftOutAndNamed)
{
    // A line break is a legal byte of a Linux name, but in a playlist it would make lines of its
    // own: such a row is not written (never with the break turned into a space) and is named.
    const std::string odd = programDir.write("two\nlines.wav", playertest::wavFile(1, 8000, 800));
    form->LVMaster->Rows = {playertest::row("a", "00:01", "/m/a.wav"), playertest::row("odd", "00:01", platform::pathToQString(odd)),
                            playertest::row("b", "00:02", "/m/b.wav")};
    form->LVMaster->syncView();
    const std::string saved = programDir.path() + "/saved.m3u";
    ASSERT_TRUE(form->SavePlaylist(QString::fromStdString(saved)));
    EXPECT_EQ(programDir.read(saved), "#EXTM3U\r\n#EXTINF:1,a\r\n/m/a.wav\r\n#EXTINF:2,b\r\n/m/b.wav\r\n");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].find("odd (" + programDir.path() + "/two lines.wav)"), std::string::npos) << boxes()[0];
}
