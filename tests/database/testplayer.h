// A message window standing in for the player's main window: answers the ping, takes the search
// server's answers (reading the result slots inside its handler, as the player does) and the
// hand-over message.
#pragma once

#include "database/searcharea.h"
#include "media/records.h"
#include "platform/messageids.h"
#include "platform/sharedmemory.h"
#include "platform/window.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace dbtest {

class TestPlayer : public platform::MessageWindow {
public:
    explicit TestPlayer(std::string caption = "player stand-in") : MessageWindow("TForm1", std::move(caption)) {}

    // The player's own mapping of the search area.
    bool mapArea() { return area.open(database::kSearchAreaName, database::kSearchAreaBytes); }
    unsigned char* slot(std::size_t k) { return static_cast<unsigned char*>(area.data()) + k * database::kSearchSlotBytes; }
    // Slot 0: a length byte and the query's code page 1251 bytes.
    void writeQuery(const std::string& cp1251)
    {
        unsigned char* q = slot(0);
        q[0] = static_cast<unsigned char>(cp1251.size());
        std::memcpy(q + 1, cp1251.data(), std::min<std::size_t>(cp1251.size(), 423));
    }

    struct Answer {
        platform::WParam count = 0;
        std::vector<media::TTrackRecord> rows;  // slots 1..count as read in the handler
    };
    std::vector<Answer> answers;
    platform::LResult pingAnswer = 10000;
    int pings = 0;
    std::vector<platform::WParam> loadTempLists;
    std::function<void()> onLoadTempList;
    platform::SharedMemory area;

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam) override
    {
        switch (msg) {
        case platform::UM_SEARCH_QUERY: {
            Answer a;
            a.count = wParam;
            const auto n = std::min<std::size_t>(static_cast<std::size_t>(std::max<platform::WParam>(wParam, 0)),
                                                 database::kMaxSearchResults);
            if (area.isOpen()) {
                a.rows.resize(n);
                for (std::size_t i = 0; i < n; ++i)
                    std::memcpy(&a.rows[i], slot(i + 1), database::kSearchSlotBytes);
            }
            answers.push_back(std::move(a));
            return 0;
        }
        case platform::UM_PING:
            ++pings;
            return pingAnswer;
        case platform::UM_LOAD_TEMP_LIST:
            loadTempLists.push_back(wParam);
            if (onLoadTempList)
                onLoadTempList();
            return 0;
        default:
            return 0;
        }
    }
};

}  // namespace dbtest
