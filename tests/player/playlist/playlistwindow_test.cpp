// The main window's playlist files as an operator meets them: plain and relative playlists,
// files that cannot be read, and what a save may never destroy.
#include "tests/player/windowfixture.h"

#include "controls/vtqstatusbar.h"
#include "platform/messageids.h"
#include "platform/regularfile.h"
#include "platform/sharedmemory.h"
#include "platform/window.h"
#include "player/commandlinearea.h"
#include "player/form1.h"
#include "player/playlist/playlistfile.h"
#include "player/playlist/playlistrows.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>

using namespace player;

namespace {

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

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
    form->Reads->finish();
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

TEST_F(PlaylistWindow, PlaylistsReadWhileTheWindowGoesOnLandWholeInOrderAfterEditsMadeMeanwhile)
{
    std::string text = "#EXTM3U\r\n";
    for (int i = 0; i < 2000; ++i)
        text += "#EXTINF:60,Long " + std::to_string(i) + "\r\n/music/long" + std::to_string(i) + ".mp3\r\n";
    const std::string longList = programDir.write("long.m3u", text);
    const std::string shortList = programDir.write("short.m3u", "#EXTM3U\r\n/music/s0.mp3\r\n/music/s1.mp3\r\n");
    form->LVMaster->Rows.push_back(playertest::row("Mine", "01:00", "/music/mine.mp3"));
    form->LVMaster->syncView();
    // One track with notes, in a notes folder that has long been as it is: the marks are given
    // as the rows are read.
    std::filesystem::create_directories(file("Txt"));
    programDir.write("Txt/" + std::filesystem::path(NotesFileName(file("Txt/"), "/music/long7.mp3")).filename().string(), "notes");
    const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, file("Txt").c_str(), longAgo, 0);
    form->Comment = true;

    messages.pushText(longList);
    form->N58Click();
    EXPECT_EQ(form->LVMaster->rowCount(), 1) << "the command returns before the file is read";
    form->LVMaster->Rows.push_back(playertest::row("Meanwhile", "01:00", "/music/meanwhile.mp3"));
    form->LVMaster->syncView();
    messages.pushText(shortList);
    form->N58Click();  // waits its turn
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (form->Reads->busy() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    ASSERT_FALSE(form->Reads->busy());
    ASSERT_EQ(form->LVMaster->rowCount(), 2 + 2000 + 2);
    EXPECT_EQ(path(1).toStdString(), "/music/meanwhile.mp3");
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(path(2 + i).toStdString(), "/music/long" + std::to_string(i) + ".mp3");
    EXPECT_EQ(path(2003), "/music/s1.mp3");
    EXPECT_EQ(form->LVMaster->Rows[2 + 7].ImageIndex, kImageHasNotes);
    EXPECT_EQ(form->LVMaster->Rows[2 + 8].ImageIndex, kImageOrdinary);

    // A list handed over while an open is under way comes after the rows that open gives.
    messages.pushText(shortList);
    form->aOpenExecute();
    form->HandleHandOver("list", shortList);
    ASSERT_EQ(form->LVMaster->rowCount(), 4);
    EXPECT_EQ(form->ListNames[0].toStdString(), shortList);
    // A read still under way when the window goes is dropped, the window gone whole.
    messages.pushText(longList);
    form->aOpenExecute();
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
    form->Reads->finish();
    ASSERT_EQ(form->ListNames[0].toStdString(), good);
    form->RecentClick(2);
    form->Reads->finish();
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

TEST_F(PlaylistWindow, HandOversOfWhatCannotBeReadAreRefusedWhileTheAirGoesOn)
{
    programDir.write("system.ini", "[Device]\nMainDev=0\n");
    form->FormCreate();
    form->maintimer->stop();
    form->show();
    QCoreApplication::processEvents();
    platform::SharedMemory area;
    ASSERT_TRUE(area.open(kCommandLineAreaName, kCommandLineAreaSize));
    form->CommandLineArea = &area;
    const auto handOver = [&](const std::string& first, const std::string& second) {
        WriteCommandLineArea(area.data(), area.size(), first, second);
        EXPECT_EQ(platform::sendMessage(form->handle(), platform::UM_COMMAND_LINE, 0, 0), kCommandLineTaken);
    };
    handOver("file", programDir.write("on.wav", playertest::soundWavFile(1, 8000, 8000 * 20)));
    ASSERT_TRUE(form->OnAir());
    const int rows = form->LVMaster->rowCount();

    // Neither a folder (it aborted the player) nor a pipe (it held the window for ever) nor a
    // device without end (it took gigabytes) is read.
    std::filesystem::create_directories(file("folder.m3u"));
    ASSERT_EQ(::mkfifo(file("pipe.m3u").c_str(), 0600), 0);
    const long before = residentKb();
    for (const auto& [list, why] : {std::pair<std::string, std::string>{file("folder.m3u"), "Is a directory"},
                                    {file("pipe.m3u"), "Not a regular file"},
                                    {"/dev/zero", "Not a regular file"}}) {
        handOver("list", list);
        EXPECT_EQ(status().toStdString(), "Плейлист не читается: " + list + " (" + why + ")");
    }
    EXPECT_LT(residentKb() - before, 64 * 1024);

    // A path longer than the area holds: what arrives of it names something else.
    const std::string deep = file(std::string(300, 'd') + "/" + std::string(250, 'e') + ".wav");
    handOver("file", deep);
    EXPECT_TRUE(status().startsWith(QStringLiteral("Путь длиннее 512 байт не принят: ") +
                                    QString::fromStdString(deep.substr(0, 100))));
    EXPECT_EQ(form->LVMaster->rowCount(), rows);
    EXPECT_TRUE(form->OnAir());
    form->CommandLineArea = nullptr;
}

TEST_F(PlaylistWindow, ProfileFilesThatCannotBeReadAreSaidOnceTheWindowIsUp)
{
    std::filesystem::create_directories(file("Profile/Default.hst"));
    programDir.write("Profile/Default.prf", "[Options]\r\n");
    const std::string m3u = programDir.write("Profile/Default.m3u", std::string("#EXTM3U\r\n\0\x01\x02", 12));
    form->LoadProfile(file("Profile/Default.prf"));
    EXPECT_EQ(form->LVMaster->rowCount(), 0);
    EXPECT_FALSE(status().contains(QStringLiteral("Default"))) << "said from the message loop, not in the start";
    QCoreApplication::processEvents();
    EXPECT_EQ(status().toStdString(), "Плейлист не читается: " + m3u + " (не текстовый файл); Файл не читается: " +
                                          file("Profile/Default.hst") + " (Is a directory)");

    // Pipes and an endless device under the profile's names hold nothing up.
    for (const char* name : {"Profile/Default.prf", "Profile/Default.m3u", "Profile/Default.hst"})
        std::filesystem::remove(file(name));
    ASSERT_EQ(::mkfifo(file("Profile/Default.prf").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(m3u.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", file("Profile/Default.hst"));
    form->LoadProfile(file("Profile/Default.prf"));
    QCoreApplication::processEvents();
    EXPECT_EQ(status().toStdString(), "Файл не читается: " + file("Profile/Default.prf") +
                                          " (Not a regular file); Плейлист не читается: " + m3u +
                                          " (Not a regular file); Файл не читается: " + file("Profile/Default.hst") +
                                          " (Not a regular file)");
}

TEST_F(PlaylistWindow, ARecentPlaylistsFileThatWasNotReadIsNeverEmptied)
{
    // No Default.prf: the recent list read is the one of the profile "noname", and the save at
    // the end writes Default.hst, which was never read.
    std::filesystem::create_directories(file("Profile"));
    const std::string hst = programDir.write("Profile/Default.hst", "/lists/a.m3u\r\n/lists/b.m3u\r\n");
    form->LoadProfile(file("Profile/Default.prf"));
    form->SaveProfile(file("Profile/Default.prf"));
    EXPECT_EQ(programDir.read(hst), "/lists/a.m3u\r\n/lists/b.m3u\r\n");

    // Past its bound (made without the bytes: a file with a hole), it is refused unread and kept.
    std::filesystem::resize_file(hst, platform::kMaxSettingsFileBytes + 1);
    form->LoadProfile(file("Profile/Default.prf"));
    form->SaveProfile(file("Profile/Default.prf"));
    EXPECT_EQ(std::filesystem::file_size(hst), platform::kMaxSettingsFileBytes + 1);
    EXPECT_TRUE(boxes("History.SaveToFile").empty());
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
