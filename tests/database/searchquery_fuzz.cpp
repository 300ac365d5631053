// Fuzz target: the database program's side of the shared search area: whatever another holder
// left in slot 0 is read as a query, searched on any field of a small base, and the results are
// written to the slots without going past them.
#include "tests/common/fuzzinput.h"
#include "tests/common/isolatedrun.h"

#include "database/basesearch.h"
#include "database/searcharea.h"
#include "database/trackbase.h"
#include "platform/cp1251.h"
#include "platform/sharedmemory.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Server {
    Server()
    {
        std::vector<std::unique_ptr<media::TTrackRecord>> rows;
        for (int i = 0; i < 40; ++i) {
            auto r = std::make_unique<media::TTrackRecord>();
            r->Artist.assign(i % 2 ? "\xca\xe8\xed\xee" : "Band");  // "Кино" in code page 1251
            r->Title.assign("Song " + std::to_string(i));
            r->Year.assign(std::to_string(1960 + i));
            r->FileName.assign("/music/\xd0\x9a" + std::to_string(i) + ".mp3");
            r->Duration = 60000 * i + 999 * (i % 7);
            rows.push_back(std::move(r));
        }
        base.assign(std::move(rows));
        if (!area.map() || !other.open(database::kSearchAreaName, database::kSearchAreaBytes))
            std::abort();
    }
    testrun::IsolatedRun run{"qvfuzz"};
    database::TrackBase base;
    database::SearchArea area;
    platform::SharedMemory other;  // the player's (or anyone's) view of the same area
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Server* s = new Server;
    fuzzing::InputReader in(data, size);
    const auto field = in.number<std::uint8_t>() % database::kFieldCount;
    const std::string slot0 = in.text(database::kSearchSlotBytes);
    std::memset(s->other.data(), 0, database::kSearchSlotBytes);
    std::memcpy(s->other.data(), slot0.data(), slot0.size());

    const std::string query = s->area.query();
    if (query.size() > database::kMaxQueryLength)
        std::abort();
    std::array<QString, database::kFieldCount> texts;
    texts[field] = QString::fromStdString(platform::cp1251ToUtf8(query));
    database::runSearch(s->base, database::SearchMatcher(texts));
    const std::size_t written = s->area.writeResults(s->base.List);
    if (written != s->base.List.size())
        std::abort();
    if (written > 0 && std::memcmp(static_cast<const char*>(s->other.data()) + database::kSearchSlotBytes,
                                   s->base.List[0], database::kSearchSlotBytes) != 0)
        std::abort();
    s->base.showAll();
    return 0;
}
