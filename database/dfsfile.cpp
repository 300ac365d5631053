// Reading and writing the ".dfs" database file.
#include "database/dfsfile.h"

#include "platform/regularfile.h"
#include "platform/savefile.h"

#include <cstring>

namespace database {

using media::TTrackRecord;

DfsLoadResult readDfsFile(const std::string& path)
{
    DfsLoadResult result;
    platform::RegularFile file;
    if (!file.open(path)) {
        if (!file.missing()) {
            result.ok = false;
            result.error = file.error();
        }
        return result;
    }
    if (file.size() > static_cast<std::int64_t>(media::kMaxBaseRows * kDfsRowSize)) {
        result.ok = false;
        result.error = platform::tooLargeText(media::kMaxBaseRows * kDfsRowSize);
        return result;
    }
    // Read in large blocks: a 100,000-row base is 42 MB.
    constexpr std::size_t kRowsPerBlock = 4096;
    std::vector<char> block(kRowsPerBlock * kDfsRowSize);
    const auto expected = static_cast<std::size_t>(file.size()) / kDfsRowSize;
    result.records.reserve(expected);
    std::size_t carry = 0;
    for (;;) {
        const std::int64_t got = file.read(block.data() + carry, block.size() - carry);
        if (got < 0) {
            result.ok = false;
            result.error = file.error();
            return result;
        }
        const std::size_t have = carry + static_cast<std::size_t>(got);
        const std::size_t rows = have / kDfsRowSize;
        // A file that grew past the bound while it was read is not taken whole either.
        if (result.records.size() + rows > media::kMaxBaseRows) {
            result.ok = false;
            result.error = platform::tooLargeText(media::kMaxBaseRows * kDfsRowSize);
            return result;
        }
        for (std::size_t i = 0; i < rows; ++i) {
            auto rec = std::make_unique<TTrackRecord>();
            std::memcpy(rec.get(), block.data() + i * kDfsRowSize, kDfsRowSize);
            result.records.push_back(std::move(rec));
        }
        carry = have - rows * kDfsRowSize;
        if (carry != 0)
            std::memmove(block.data(), block.data() + rows * kDfsRowSize, carry);
        if (got == 0 || have < block.size())
            break;  // what is left in carry is a trailing partial row: ignored
    }
    return result;
}

bool writeDfsFile(const std::string& path, const std::vector<TTrackRecord*>& rows, std::string* error)
{
    platform::SaveFile file(path);
    bool ok = file.open();
    constexpr std::size_t kRowsPerBlock = 4096;
    std::vector<char> block;
    block.reserve(kRowsPerBlock * kDfsRowSize);
    for (std::size_t i = 0; ok && i < rows.size(); ++i) {
        const char* bytes = reinterpret_cast<const char*>(rows[i]);
        block.insert(block.end(), bytes, bytes + kDfsRowSize);
        if (block.size() >= kRowsPerBlock * kDfsRowSize || i + 1 == rows.size()) {
            ok = file.write(block.data(), block.size());
            block.clear();
        }
    }
    if (ok)
        ok = file.commit();
    if (!ok && error)
        *error = file.error();
    return ok;
}

}  // namespace database
