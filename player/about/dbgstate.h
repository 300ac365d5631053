// What the diagnostics window shows: a snapshot of playback and crossfading, and the texts made
// of it.
#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace player {

struct DbgSnapshot {
    int fadeClass = 0;      // the current crossfade class
    int selectedRow = -1;   // the Main list's first selected row, -1 when none
    int playingRow = -1;    // the Main list's playing row, -1 when none
    double fadeSeconds = 0;  // the fade and mix points of the current class's record
    double mixSeconds = 0;
    bool fadedIsDeckA = false;  // the deck being faded out is the one in deck A's role
    bool mixFlag = false;       // the main timer's crossfade flag
    std::uint32_t timerId = 0;  // the fade-out's multimedia timer
    bool fading = false;        // a fade-out runs
    std::string fileA;          // the files of the decks in deck A's and deck B's roles
    std::string fileB;
    std::int64_t upTimeMs = 0;  // since the main window was created
    std::int32_t ampCount = 0;  // deck A's automatic level: counter, peak and quiet run
    std::int32_t ampHigh = 0;
    std::int32_t ampQuiet = 0;
    int deviceA = 1;            // deck A's output device
    std::string output;         // the output devices' states, one line each
};

struct DbgTexts {
    QString fadeType, now, fadeOut, mix, fadeObj, timerId, isFading, fileA, fileB, timeWorking;
    QString ampCount, ampHigh, ampQuiet, output;
    bool mixFlag = false;
};

// Every value of the window, numbers with "." as the decimal separator whatever the locale.
DbgTexts dbgTexts(const DbgSnapshot& s);

// "h:mm:ss" of a 64-bit millisecond count: hours go past 596 without wrapping.
QString formatUpTime(std::int64_t ms);

}  // namespace player
