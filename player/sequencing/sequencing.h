// Which row plays next, the play modes and the texts that follow a start (on-air label, tray tip).
//
// PlaybackSequencer calls NextTrackIndex for PlayTrack and the end of a break; the window calls
// the PlayModes setters from the mode buttons, playNextMark from "play next", and onAirText /
// trayTip from UpdateNowPlaying / SetOnAirText.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace player {

// The mode buttons; each setter keeps the pairs that exclude each other apart.
struct PlayModes {
    bool repeat = false;      // btRepeat "Repeat track"
    bool breakOn = false;     // btBreak "Break"
    bool oneTrack = false;    // brOneTrack: a break applies to one track only
    bool shuffle = false;     // btShuffle "Random play"
    bool repeatList = false;  // btRepeatList "Repeat playlist"
    bool autoupdateTag = true;  // the playing row becomes the selected row

    void setRepeat(bool on);
    void setBreak(bool on);
    void setShuffle(bool on);
    void setRepeatList(bool on);
};

// The Main list as NextTrackIndex sees it; nextIndex and shuffleMemory are updated by it.
struct TrackListState {
    int rowCount = 0;
    int hlIndex = -1;         // playing row
    int firstSelected = -1;
    int nextIndex = -1;       // row marked to play next
    int shuffleMemory = -1;   // row that played when the last random row was drawn
};

// Uniform whole number from 0 to maxInclusive.
using RandomBelow = std::function<int(int maxInclusive)>;
RandomBelow defaultRandom();

// Direction 0: the selected row; 1 next; -1 previous. The row to play or -1.
int NextTrackIndex(int direction, TrackListState& list, const PlayModes& modes, const RandomBelow& random);

// "Play next" on the Main list: the first selected row, or the old mark when none is selected.
int playNextMark(int firstSelected, int currentNextIndex);

// On-air text of a started file: "artist\r\ntitle" (each cut at a zero and trimmed) from a read
// tag whose artist and title are not both empty after trimming, else the file's base name.
std::string onAirText(bool tagRead, std::string_view artist, std::string_view title, std::string_view fileName);

// The tray tip holds at most this many characters of the on-air text.
constexpr int kTrayTipChars = 62;
// The first kTrayTipChars characters (not bytes: a UTF-8 character is never split).
std::string trayTip(std::string_view onAir);

}  // namespace player
