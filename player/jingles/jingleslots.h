// The jingle slots without a window: the menu captions, the lowering of the decks while jingle
// windows are open, and the jingle list file (".lst").
#pragma once

#include <QString>

#include <array>
#include <optional>
#include <string>

namespace player {

// Slots 1..9 are the jingles; slot 0 is the jingle list's pre-listen slot.
constexpr int kJingleSlots = 10;
using JingleSlotPaths = std::array<QString, kJingleSlots>;

// The caption of the jingle menu item of slot n (1..9): "n", a blank and the path; "n" alone for
// an empty slot. An "&" in the path is shown as itself, not as a mnemonic.
QString jingleMenuCaption(int slot, const QString& path);

// Both decks go down while jingle windows are open, as one state: the first window that opens
// while the on-air level is below 100 lowers them, and the last one to close brings them back to
// 100 whatever the level says by then.
class JingleDucking {
public:
    // A window opened with onAirLevel (JVol): the deck volume to set now, if any.
    std::optional<int> opened(int onAirLevel);
    // A window closed: the deck volume to set now, if any.
    std::optional<int> closed();
    int openWindows() const { return m_open; }
    bool ducked() const { return m_ducked; }

private:
    int m_open = 0;
    bool m_ducked = false;
};

// A jingle list file: an ini file whose section [Jingles] holds Path1..Path9, as a profile does.
// A missing or unreadable file gives nine empty paths.
std::array<QString, 9> readJingleList(const std::string& path);
bool writeJingleList(const std::string& path, const std::array<QString, 9>& paths);

}  // namespace player
