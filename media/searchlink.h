// What the player, the database program and the playlist generator agree on to find and talk to
// each other: program and window names, the shared search area of track rows, and the values
// they greet and answer with. One place, so the three programs cannot drift apart.
#pragma once

#include "media/records.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace media {

// Executables of the program folder, and the classes of their windows.
inline constexpr std::string_view kDatabaseProgram = "Base";
inline constexpr std::string_view kGeneratorProgram = "Sorbelt";
inline constexpr std::string_view kDatabaseWindowClass = "TBase_main_window";
inline constexpr std::string_view kGeneratorWindowClass = "TSorbeltWnd";
// The hidden search server's caption is this followed by the player's window handle in decimal.
inline constexpr std::string_view kServerCaptionPrefix = "DatabaseWindow";

// The shared area: slot 0 holds the query (its Title field), slots 1..N the results, each slot
// one track row as the database file stores it.
inline constexpr std::string_view kSearchAreaName = "SHARED_DATA_FILE";
inline constexpr std::size_t kSearchSlotBytes = sizeof(TTrackRecord);
inline constexpr std::size_t kSearchSlotCount = 15001;
inline constexpr std::size_t kSearchAreaBytes = kSearchSlotBytes * kSearchSlotCount;
inline constexpr std::size_t kMaxSearchResults = kSearchSlotCount - 1;
inline constexpr std::size_t kMaxQueryLength = 30;
static_assert(kSearchAreaBytes == 6360424);

// lParam of UM_SEARCH_HELLO: the player greeting its search server, or the playlist generator.
inline constexpr std::int64_t kHelloSearchServer = 12;
inline constexpr std::int64_t kHelloGenerator = 23;
// Answers to UM_PING that mean "alive": the player's, the playlist generator's.
inline constexpr std::int64_t kPlayerPingAnswer = 10000;
inline constexpr std::int64_t kGeneratorPingAnswer = 1000;

// wParam of UM_LOAD_TEMP_LIST, and the playlist each names (relative to the program folder).
inline constexpr std::int64_t kTempListStack = 0;     // the generator's: replaces the Main list
inline constexpr std::int64_t kTempListDatabase = 1;  // the database window's: appended
inline constexpr std::string_view kStackListFile = "Temp/Stack.m3u";
inline constexpr std::string_view kDatabaseListFile = "Temp/DBTemp.m3u";

}  // namespace media
