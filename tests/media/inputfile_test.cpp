// The readers' file: every read gives what the file holds at that place, whether it comes from the
// kept ends or from the file, for small and large files and files that change size after opening.
#include "mediafixtures.h"

#include "media/inputfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using media::InputFile;
using namespace mediatest;

namespace {

std::string pattern(std::size_t size)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    return s;
}

// What a read of size bytes at offset must give: the bytes of content from there to its end.
std::string expected(const std::string& content, std::int64_t offset, std::size_t size)
{
    if (offset >= static_cast<std::int64_t>(content.size()))
        return {};
    return content.substr(static_cast<std::size_t>(offset), size);
}

void checkReads(const InputFile& file, const std::string& content)
{
    const auto n = static_cast<std::int64_t>(content.size());
    constexpr auto kEnd = static_cast<std::int64_t>(InputFile::kEndBytes);
    const std::int64_t offsets[] = {0, 1, 10, kEnd - 10, kEnd - 1, kEnd, kEnd + 1, n / 2, n - kEnd - 1, n - kEnd,
                                    n - 3586, n - 128, n - 1, n, n + 5};
    const std::size_t sizes[] = {0, 1, 10, 128, 3458, static_cast<std::size_t>(kEnd), 3 * static_cast<std::size_t>(kEnd)};
    for (int pass = 0; pass < 2; ++pass)  // the second pass comes from what the first one kept
        for (std::int64_t offset : offsets) {
            if (offset < 0)
                continue;
            for (std::size_t size : sizes) {
                std::string got(size, '\x5A');
                const std::int64_t count = file.readAt(offset, got.data(), size);
                const std::string want = expected(content, offset, size);
                ASSERT_EQ(count, static_cast<std::int64_t>(want.size())) << offset << " " << size;
                EXPECT_EQ(got.substr(0, want.size()), want) << offset << " " << size;
                EXPECT_EQ(file.readExact(offset, got.data(), size), want.size() == size);
            }
        }
    char byte = 0;
    EXPECT_EQ(file.readAt(-1, &byte, 1), -1);
}

}  // namespace

TEST(InputFileReads, SmallAndLargeFilesReadAsTheyAre)
{
    TempDir dir;
    for (std::size_t size : {std::size_t{0}, std::size_t{100}, std::size_t{4096}, std::size_t{8192}, std::size_t{8193},
                             std::size_t{12000}, std::size_t{200000}}) {
        const std::string content = pattern(size);
        const InputFile file(dir.write("f" + std::to_string(size), content));
        ASSERT_TRUE(file.isOpen());
        EXPECT_EQ(file.size(), static_cast<std::int64_t>(size));
        checkReads(file, content);
    }
}

TEST(InputFileReads, AFileThatShrinksAfterOpeningGivesWhatIsStillThere)
{
    TempDir dir;
    const std::string content = pattern(50000);
    const std::string path = dir.write("shrinks", content);
    const InputFile file(path);
    ASSERT_TRUE(file.isOpen());
    std::filesystem::resize_file(path, 30000);
    char tail[128];
    // The last bytes the opening saw are gone: a short read, not bytes it did not get.
    EXPECT_EQ(file.readAt(50000 - 128, tail, sizeof tail), 0);
    EXPECT_FALSE(file.readExact(50000 - 128, tail, sizeof tail));
    std::string head(10, '\0');
    EXPECT_TRUE(file.readExact(0, head.data(), head.size()));
    EXPECT_EQ(head, content.substr(0, 10));
}

TEST(InputFileReads, OnlyRegularFilesOpen)
{
    TempDir dir;
    EXPECT_FALSE(InputFile(dir.path()).isOpen());
    EXPECT_FALSE(InputFile(dir.path() + "/missing").isOpen());
    InputFile closed;
    char byte = 0;
    EXPECT_EQ(closed.readAt(0, &byte, 1), -1);
}
