// The player's saves on a full disk (a small tmpfs as the program folder): the profile, its
// playlist and its recent-playlists file keep their old contents and each failure is reported.
#include "windowfixture.h"

#include "audiolib/audiolib.h"
#include "player/notes/notesfiles.h"
#include "player/playlist/playlistfile.h"
#include "player/settings/encoderpresets.h"
#include "player/sound/presetfolder.h"
#include "tests/common/smalldisk.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace player;
using testrun::readFile;
using testrun::writeFile;

namespace {

class PlayerFullDisk : public playertest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (!disk.mounted())
            return;
        setenv("QUORVALEN_PROGRAM_DIR", disk.path().c_str(), 1);
        std::filesystem::create_directory(disk.file("Profile"));
        ASSERT_TRUE(audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0));
        makeForm();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        audiolib::freeDevice();
    }

    testrun::SmallDisk disk{256 * 1024};
};

TEST_F(PlayerFullDisk, TheProfileItsPlaylistAndItsHistoryStayAsTheyWere)
{
    QV_NEED_SMALL_DISK(disk);
    const std::string prf = disk.file("Profile/Default.prf");
    const std::string m3u = disk.file("Profile/Default.m3u");
    const std::string hst = disk.file("Profile/Default.hst");
    writeFile(prf, "[Options]\r\nClose=0\r\nFormWidth=640\r\nFormHeight=480\r\n");
    writeFile(m3u, "#EXTM3U\r\n#EXTINF:60,old - row\r\n/m/old.mp3\r\n");
    writeFile(hst, "/lists/a.m3u\r\n");
    form->LoadProfile(prf);
    ASSERT_EQ(form->LVMaster->rowCount(), 1);
    for (int i = 0; i < 2000; ++i)
        form->LVMaster->Rows.push_back(playertest::row("Artist - a title long enough " + QString::number(i), "03:00",
                                                       "/music/some/folder/" + QString::number(i) + ".mp3"));
    form->LVMaster->syncView();
    form->RememberRecent(QString::fromStdString(std::string(3000, 'p')));

    disk.fill();
    form->SaveProfile(prf);
    EXPECT_EQ(readFile(prf), "[Options]\r\nClose=0\r\nFormWidth=640\r\nFormHeight=480\r\n");
    EXPECT_EQ(readFile(m3u), "#EXTM3U\r\n#EXTINF:60,old - row\r\n/m/old.mp3\r\n");
    EXPECT_EQ(readFile(hst), "/lists/a.m3u\r\n");
    // One report per file that could not be saved, each naming it and the cause.
    const auto shown = errorBoxes();
    ASSERT_EQ(shown.size(), 3u);
    for (const std::string& name : {prf, m3u, hst}) {
        const bool named = std::any_of(shown.begin(), shown.end(), [&](const auto& box) {
            return box.text.find(name) != std::string::npos && box.text.find("No space left on device") != std::string::npos;
        });
        EXPECT_TRUE(named) << name;
    }
}

TEST_F(PlayerFullDisk, PlaylistAndHistoryWritersReportAndKeep)
{
    QV_NEED_SMALL_DISK(disk);
    const std::string list = disk.file("show.m3u");
    const std::string hst = disk.file("show.hst");
    writeFile(list, "#EXTM3U\r\n");
    writeFile(hst, "/a.m3u\r\n");
    disk.fillLeaving(4096);
    std::vector<controls::TVirtualItem> rows;
    for (int i = 0; i < 500; ++i)
        rows.push_back(playertest::row("row " + QString::number(i), "01:00", "/music/" + QString::number(i) + ".mp3"));
    std::string error;
    EXPECT_FALSE(WritePlaylistFile(list, rows, error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(readFile(list), "#EXTM3U\r\n");
    error.clear();
    EXPECT_FALSE(WriteHistoryFile(hst, std::vector<std::string>(9, std::string(2000, 'h')), error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(readFile(hst), "/a.m3u\r\n");
}

TEST_F(PlayerFullDisk, NotesAndPresetsKeepWhatWasSavedBefore)
{
    QV_NEED_SMALL_DISK(disk);
    const std::string notes = disk.file("Txt/track.txt");
    std::filesystem::create_directory(disk.file("Txt"));
    ASSERT_TRUE(WriteNotesFile(notes, "read on air at 9"));
    const PresetFolder presets = equalizerPresets();
    const std::vector<unsigned char> flat(48, 0x10);
    std::string written;
    ASSERT_TRUE(presets.save("Speech", flat.data(), flat.size(), written));
    const std::string notesBefore = readFile(notes);
    const std::string presetBefore = readFile(written);

    disk.fill();
    EXPECT_FALSE(WriteNotesFile(notes, QStringLiteral("read on air at 10, not at 9")));
    EXPECT_EQ(readFile(notes), notesBefore);
    const std::vector<unsigned char> loud(4000, 0x7F);
    EXPECT_FALSE(presets.save("Speech", loud.data(), loud.size(), written));
    EXPECT_EQ(readFile(written), presetBefore);
    std::vector<unsigned char> back(48);
    EXPECT_EQ(presets.load("Speech", back.data(), back.size()), 48);
    EXPECT_EQ(back, flat);
}

TEST_F(PlayerFullDisk, EncoderPresetsKeepTheListSavedBefore)
{
    QV_NEED_SMALL_DISK(disk);
    const std::string file = disk.file("Presets/Encoder.prs");
    ASSERT_TRUE(writeEncoderPresets(file, {{"MP3 128", "lame.dll -b 128", "mp3"}}));
    const std::string before = readFile(file);
    disk.fill();
    EXPECT_FALSE(writeEncoderPresets(file, {{"MP3 128", "lame.dll -b 128", "mp3"}, {"OGG q5", "ogg.dll -q 5", "ogg"}}));
    EXPECT_EQ(readFile(file), before);
    const auto read = readEncoderPresets(file);
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->size(), 1u);
    EXPECT_EQ((*read)[0].Name, QStringLiteral("MP3 128"));
}

}  // namespace
