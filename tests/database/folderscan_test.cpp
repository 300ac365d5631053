// The folder scan and the records built from tags: order, case of extensions, symlink loops,
// over-long paths, sizes beyond 32 bits, NoEmpty.
#include "database/abortflag.h"
#include "database/folderscan.h"
#include "database/recordtext.h"
#include "testtracks.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace database;
namespace fs = std::filesystem;

namespace {

class FolderScanTest : public ::testing::Test {
protected:
    std::string root() const { return dir.path().toStdString(); }
    std::vector<std::string> scan(const std::string& folder, FolderScanner* scanner = nullptr)
    {
        FolderScanner local;
        FolderScanner& s = scanner ? *scanner : local;
        std::vector<ScanEntry> entries;
        s.CollectFiles(folder, entries);
        std::vector<std::string> rel;
        for (auto& e : entries)
            rel.push_back(e.path.substr(root().size() + 1));
        return rel;
    }
    QTemporaryDir dir;
};

TEST_F(FolderScanTest, DepthFirstInNameOrderWithSupportedExtensionsOnly)
{
    fs::create_directories(root() + "/b_sub/deeper");
    dbtest::writeUntaggedFile(root() + "/a.MP3");
    dbtest::writeUntaggedFile(root() + "/b.txt");
    dbtest::writeUntaggedFile(root() + "/c.ogg");
    dbtest::writeUntaggedFile(root() + "/b_sub/x.wav");
    dbtest::writeUntaggedFile(root() + "/b_sub/deeper/y.Wma");
    dbtest::writeUntaggedFile(root() + "/b_sub/.hidden.mp3");
    dbtest::writeUntaggedFile(root() + "/D.cda");
    EXPECT_EQ(scan(root() + "/"), (std::vector<std::string>{"a.MP3", "b_sub/.hidden.mp3", "b_sub/deeper/y.Wma",
                                                            "b_sub/x.wav", "c.ogg", "D.cda"}));
}

TEST_F(FolderScanTest, SymlinkLoopIsEnteredOnce)
{
    fs::create_directories(root() + "/m/inner");
    dbtest::writeUntaggedFile(root() + "/m/inner/t.mp3");
    fs::create_directory_symlink(root() + "/m", root() + "/m/inner/loop");
    const auto found = scan(root() + "/m");
    EXPECT_EQ(found, (std::vector<std::string>{"m/inner/t.mp3"}));
}

TEST_F(FolderScanTest, AbortStopsTheScanAndPathsTooLongAreSetAside)
{
    std::string deep = root();
    while (deep.size() < 250)
        deep += "/dddddddddddddddddddd";
    fs::create_directories(deep);
    dbtest::writeUntaggedFile(deep + "/long-name-over-the-limit.mp3");
    dbtest::writeUntaggedFile(root() + "/short.mp3");
    FolderScanner s;
    const auto found = scan(root(), &s);
    EXPECT_EQ(found, (std::vector<std::string>{"short.mp3"}));
    ASSERT_EQ(s.tooLong.size(), 1u);
    EXPECT_GT(s.tooLong[0].size(), kMaxPathBytes);

    std::atomic<bool> stop{false};
    FolderScanner aborting;
    aborting.abort = &stop;
    int folders = 0;
    aborting.onFolder = [&](const std::string&, std::size_t) {
        if (++folders == 2)
            stop = true;
    };
    EXPECT_TRUE(scan(root(), &aborting).empty());
}

TEST_F(FolderScanTest, RecordKeepsTagBytesAndClampsSize)
{
    const std::string tagged = root() + "/t*star.mp3";  // a "*" in a name is just a character
    dbtest::writeTaggedFile(tagged, "Песня", "Artist", 17);
    media::TTrackRecord r;
    bool failed = true;
    ASSERT_EQ(makeTrackRecord({5000000000LL, tagged}, true, r, &failed), AddOutcome::Added);
    EXPECT_FALSE(failed);
    EXPECT_EQ(r.Title.length, 30);
    EXPECT_EQ(r.Year.length, 4);
    EXPECT_EQ(fieldText(r, Field::Title), QString::fromUtf8("Песня"));
    EXPECT_EQ(fieldText(r, Field::Year), "1999");
    EXPECT_EQ(fieldText(r, Field::Genre), "Rock");
    EXPECT_EQ(fieldText(r, Field::FileName), QString::fromStdString(tagged));
    EXPECT_EQ(r.Size, 2147483647);  // never wrapped
    EXPECT_EQ(r.Duration, 0);

    const std::string plain = root() + "/plain.mp3";
    dbtest::writeUntaggedFile(plain);
    EXPECT_EQ(makeTrackRecord({10, plain}, true, r, nullptr), AddOutcome::NoTag);
    ASSERT_EQ(makeTrackRecord({10, plain}, false, r, nullptr), AddOutcome::Added);
    EXPECT_EQ(r.Title.length, 30);
    EXPECT_EQ(storedBytes(r, Field::Title), "");
    EXPECT_EQ(r.Size, 10);
    EXPECT_EQ(makeTrackRecord({0, "/" + std::string(300, 'x') + ".mp3"}, false, r, nullptr), AddOutcome::TooLong);
}

}  // namespace
