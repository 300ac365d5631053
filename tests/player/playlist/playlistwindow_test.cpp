// The main window's playlist files as an operator meets them: plain and relative playlists,
// files that cannot be read, and what a save may never destroy.
#include "tests/player/windowfixture.h"

#include "controls/vtqstatusbar.h"
#include "player/form1.h"
#include "player/playlist/playlistfile.h"
#include "player/playlist/playlistrows.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

using namespace player;

namespace {

class PlaylistWindow : public playertest::NoSoundWindowTest {
protected:
    std::string file(const std::string& name) const { return programDir.path() + "/" + name; }
    QString path(int row) const { return form->LVMaster->Rows[static_cast<std::size_t>(row)].SubItems[kColPath]; }
    std::vector<platform::RecordedUserMessages::Shown> boxes(const std::string& func) const
    {
        std::vector<platform::RecordedUserMessages::Shown> found;
        for (const auto& shown : messages.shown())
            if (shown.text.find("Func: " + func) != std::string::npos)
                found.push_back(shown);
        return found;
    }
    QString status() const { return form->StatusBar1->Panels().Items(0)->Text(); }
};

TEST_F(PlaylistWindow, APlainPlaylistOpensAndSavesWithItsEntries)
{
    std::filesystem::create_directories(file("lists/sub"));
    const std::string list = programDir.write("lists/plain.m3u", "#EXTM3U\r\n/music/one.mp3\r\nsub/two.mp3\r\n");
    messages.pushText(list);
    form->aOpenExecute();
    ASSERT_EQ(form->LVMaster->rowCount(), 2);
    EXPECT_EQ(path(0), "/music/one.mp3");
    EXPECT_EQ(path(1).toStdString(), file("lists/sub/two.mp3")) << "relative to the playlist's folder";
    EXPECT_EQ(form->ListNames[0].toStdString(), list);

    EXPECT_TRUE(form->aSaveExecute());
    const auto back = ReadPlaylistFile(list);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[1].SubItems[kColPath].toStdString(), file("lists/sub/two.mp3"));
}

TEST_F(PlaylistWindow, AnEmptyListFromAFailedReadIsNeverSavedOverThePlaylist)
{
    // The profile's playlist damaged (a zero byte, as a power cut can leave it): nothing loads,
    // and closing must not replace the file with an empty list.
    std::filesystem::create_directories(file("Profile"));
    const std::string damaged = std::string("#EXTM3U\r\n#EXTINF:5,Keep me\r\n/music/keep.mp3\r\n") + '\0' + "\r\n";
    const std::string m3u = programDir.write("Profile/Default.m3u", damaged);
    form->LoadProfile(file("Profile/Default.prf"));
    EXPECT_EQ(form->LVMaster->rowCount(), 0);
    form->SaveProfile(file("Profile/Default.prf"));
    EXPECT_EQ(programDir.read(m3u), damaged);
    EXPECT_EQ(boxes("Playlist.SaveToFile").size(), 1u);

    // Once the operator has given the list rows again, saving writes them.
    form->LVMaster->Rows.push_back(playertest::row("New", "01:00", "/music/new.mp3"));
    form->LVMaster->syncView();
    form->SaveProfile(file("Profile/Default.prf"));
    const auto saved = ReadPlaylistFile(m3u);
    ASSERT_TRUE(saved.has_value());
    ASSERT_EQ(saved->size(), 1u);
    // A playlist that simply is not there yet is written as usual, empty or not.
    form->LVMaster->ClearRows();
    form->LoadPlaylist(QString::fromStdString(file("none.m3u")));
    EXPECT_TRUE(form->SavePlaylist(QString::fromStdString(file("none.m3u"))));
}

TEST_F(PlaylistWindow, ARecentPlaylistThatFailsKeepsTheListAndItsName)
{
    const std::string good = programDir.write("good.m3u", "#EXTM3U\r\n/music/a.mp3\r\n/music/b.mp3\r\n");
    form->RememberRecent(QString::fromStdString(file("gone.m3u")));
    form->RememberRecent(QString::fromStdString(good));
    form->RecentClick(1);
    ASSERT_EQ(form->ListNames[0].toStdString(), good);
    form->RecentClick(2);
    EXPECT_EQ(form->ListNames[0].toStdString(), good) << "the next save goes where these rows came from";
    EXPECT_EQ(form->LVMaster->rowCount(), 2);
    EXPECT_EQ(boxes("LoadPlaylist").size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(file("gone.m3u")));
}

TEST_F(PlaylistWindow, AHandedOverPlaylistThatCannotBeReadIsSaid)
{
    programDir.write("system.ini", "[Device]\nMainDev=0\n");
    form->FormCreate();
    form->maintimer->stop();
    // Nothing on air: the status bar and, after the hand-over, a box.
    form->HandleCommandLine("list", file("missing.m3u"));
    EXPECT_TRUE(status().contains(QString::fromStdString(file("missing.m3u"))));
    EXPECT_TRUE(boxes("LoadPlaylist").empty()) << "not inside the hand-over's own message";
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes("LoadPlaylist").size(), 1u);

    // On air: the status bar only.
    const std::string wav = programDir.write("on.wav", playertest::soundWavFile(1, 8000, 8000 * 20));
    form->HandleCommandLine("file", wav);
    ASSERT_TRUE(form->OnAir());
    form->HandleCommandLine("list", file("other.m3u"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(status().contains(QString::fromStdString(file("other.m3u"))));
    EXPECT_EQ(boxes("LoadPlaylist").size(), 1u);
    EXPECT_TRUE(form->OnAir());
}

TEST_F(PlaylistWindow, TheEmergencyListFindsItsRelativeEntries)
{
    std::filesystem::create_directories(file("quiet"));
    const std::string list = programDir.write("quiet/emergency.m3u", "#EXTM3U\r\n#EXTINF:60,Filler\r\nfiller.mp3\r\n");
    form->QuietList = list;
    ASSERT_EQ(form->LoadEmergencyList(), 1);
    EXPECT_EQ(path(0).toStdString(), file("quiet/filler.mp3"));
}

}  // namespace
