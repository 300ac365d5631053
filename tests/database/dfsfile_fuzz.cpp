// Fuzz target: any bytes as a ".dfs" base are loaded, every record's texts are made as the list
// shows them, the base is searched and sorted by every column and saved back byte for byte.
#include "tests/common/fuzzinput.h"

#include "database/basesearch.h"
#include "database/basesort.h"
#include "database/dfsfile.h"
#include "database/recordtext.h"
#include "database/trackbase.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::InputReader in(data, size);
    const std::string query = in.text(40);
    const auto field = in.number<std::uint8_t>() % database::kFieldCount;
    const std::string_view rest = in.rest();
    const std::string path = fuzzing::inputFile("Base.dfs", rest.data(), rest.size());
    database::DfsLoadResult loaded = database::readDfsFile(path);
    if (!loaded.ok || loaded.records.size() != rest.size() / database::kDfsRowSize)
        std::abort();
    database::TrackBase base;
    base.assign(std::move(loaded.records));
    for (const database::TTrackRecord* r : base.List2) {
        for (int c = 0; c < database::kColumnCount; ++c)
            database::columnText(*r, c);
        database::colorSlot(*r);
    }
    std::array<QString, database::kFieldCount> texts;
    texts[field] = QString::fromUtf8(query.data(), static_cast<qsizetype>(query.size()));
    database::runSearch(base, database::SearchMatcher(texts));
    if (base.List.size() != base.Indexes.size() || base.List.size() > base.List2.size())
        std::abort();
    for (int column = 0; column < 8; ++column)
        database::sortTracks(base.List, column, column % 2 ? -1 : 1);

    const std::string again = fuzzing::scratchFolder() + "/again.dfs";
    if (!database::writeDfsFile(again, base.List2, nullptr))
        std::abort();
    std::ifstream back(again, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(back)), std::istreambuf_iterator<char>());
    if (bytes != rest.substr(0, base.List2.size() * database::kDfsRowSize))
        std::abort();
    return 0;
}
