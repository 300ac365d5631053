// Reading and writing the ".dfs" database file.
#include "database/dfsfile.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace database {

using media::TTrackRecord;

DfsLoadResult readDfsFile(const std::string& path)
{
    DfsLoadResult result;
    QFile file(QString::fromStdString(path));
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.ok = false;
        result.error = file.errorString().toStdString();
        return result;
    }
    // Read in large blocks: a 100,000-row base is 42 MB.
    constexpr qint64 kRowsPerBlock = 4096;
    std::vector<char> block(kRowsPerBlock * kDfsRowSize);
    const qint64 expected = file.size() / static_cast<qint64>(kDfsRowSize);
    result.records.reserve(static_cast<std::size_t>(expected));
    std::size_t carry = 0;
    for (;;) {
        const qint64 got = file.read(block.data() + carry, static_cast<qint64>(block.size() - carry));
        if (got < 0) {
            result.ok = false;
            result.error = file.errorString().toStdString();
            return result;
        }
        const std::size_t have = carry + static_cast<std::size_t>(got);
        const std::size_t rows = have / kDfsRowSize;
        for (std::size_t i = 0; i < rows; ++i) {
            auto rec = std::make_unique<TTrackRecord>();
            std::memcpy(rec.get(), block.data() + i * kDfsRowSize, kDfsRowSize);
            result.records.push_back(std::move(rec));
        }
        carry = have - rows * kDfsRowSize;
        if (carry != 0)
            std::memmove(block.data(), block.data() + rows * kDfsRowSize, carry);
        if (got == 0)
            break;  // what is left in carry is a trailing partial row: ignored
    }
    return result;
}

bool writeDfsFile(const std::string& path, const std::vector<TTrackRecord*>& rows, std::string* error)
{
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString().toStdString();
        return false;
    }
    constexpr std::size_t kRowsPerBlock = 4096;
    std::vector<char> block;
    block.reserve(kRowsPerBlock * kDfsRowSize);
    auto flushBlock = [&]() {
        if (block.empty())
            return true;
        const bool ok = file.write(block.data(), static_cast<qint64>(block.size())) ==
                        static_cast<qint64>(block.size());
        block.clear();
        return ok;
    };
    for (const TTrackRecord* r : rows) {
        const char* bytes = reinterpret_cast<const char*>(r);
        block.insert(block.end(), bytes, bytes + kDfsRowSize);
        if (block.size() >= kRowsPerBlock * kDfsRowSize && !flushBlock()) {
            if (error)
                *error = file.errorString().toStdString();
            file.cancelWriting();
            return false;
        }
    }
    if (!flushBlock() || !file.commit()) {
        if (error)
            *error = file.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace database
