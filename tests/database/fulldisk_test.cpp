// The database program's saves on a full disk (a small tmpfs): the base and an exported playlist
// keep their old contents, the failure is shown, and a base that was not saved stays marked changed.
#include "database/basemainwindow.h"
#include "database/dfsfile.h"
#include "platform/recordedusermessages.h"
#include "testtracks.h"
#include "tests/common/smalldisk.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace database;
using testrun::readFile;
using testrun::writeFile;

namespace {

class DatabaseFullDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!disk.mounted())
            return;
        setenv("QUORVALEN_PROGRAM_DIR", disk.path().c_str(), 1);
        setenv("QUORVALEN_NOSOUND", "1", 1);
        platform::setUserMessages(&messages);
        for (int i = 0; i < 300; ++i) {
            rows.push_back(dbtest::makeTrack({.title = "Title " + std::to_string(i), .artist = "Artist",
                                              .fileName = "/music/" + std::to_string(i) + ".mp3", .duration = 1000 * i}));
            ptrs.push_back(rows.back().get());
        }
    }
    void TearDown() override
    {
        platform::setUserMessages(nullptr);
        unsetenv("QUORVALEN_PROGRAM_DIR");
    }

    testrun::SmallDisk disk{512 * 1024};
    platform::RecordedUserMessages messages;
    std::vector<std::unique_ptr<media::TTrackRecord>> rows;
    std::vector<media::TTrackRecord*> ptrs;
};

TEST_F(DatabaseFullDisk, TheBaseFileKeepsItsRowsAndTheBaseStaysChanged)
{
    QV_NEED_SMALL_DISK(disk);
    // 300 rows are 127,200 bytes.
    const std::string base = disk.file("Base.dfs");
    ASSERT_TRUE(writeDfsFile(base, ptrs, nullptr));
    const std::string before = readFile(base);
    TBase_main_window w({base});
    ASSERT_EQ(w.Base.size(), 300u);

    disk.fillLeaving(64 * 1024);
    std::string error;
    EXPECT_FALSE(writeDfsFile(base, ptrs, &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(readFile(base), before);

    w.Modified = true;
    messages.pushText(base);
    EXPECT_FALSE(w.Button5Click());
    EXPECT_TRUE(w.Modified) << "nothing was saved";
    ASSERT_EQ(messages.boxTexts().size(), 1u);
    EXPECT_NE(messages.boxTexts()[0].find("No space left on device"), std::string::npos) << messages.boxTexts()[0];
    EXPECT_EQ(readFile(base), before);
}

TEST_F(DatabaseFullDisk, AnExportedPlaylistIsNotReplacedByPartOfOne)
{
    QV_NEED_SMALL_DISK(disk);
    const std::string base = disk.file("Base.dfs");
    ASSERT_TRUE(writeDfsFile(base, ptrs, nullptr));
    const std::string list = disk.file("out.m3u");
    writeFile(list, "#EXTM3U\r\n#EXTINF:1,a - b\r\n/music/old.mp3\r\n");
    disk.fillLeaving(4096);

    TBase_main_window w({base});
    ASSERT_EQ(w.Base.size(), 300u);
    EXPECT_FALSE(w.ExportPlaylist(list));
    EXPECT_EQ(readFile(list), "#EXTM3U\r\n#EXTINF:1,a - b\r\n/music/old.mp3\r\n");
    ASSERT_EQ(messages.boxTexts().size(), 1u);
    EXPECT_NE(messages.boxTexts()[0].find("No space left on device"), std::string::npos) << messages.boxTexts()[0];
}

}  // namespace
