// What a key pressed in the main window does, decided without a window: the fixed keys, the seven
// changeable hot keys, the on-air lock and the focused control's kind go in, the commands to run
// and whether the key is used up come out. The window runs the commands (hotkeys.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace player {

// The seven changeable keys, as Windows key codes ("A".."Z" are their letters).
enum HotKeyIndex : int {
    kHotKeyPlay = 0,
    kHotKeyStop,
    kHotKeyNext,
    kHotKeyBreak,
    kHotKeyRepeat,
    kHotKeyMute,
    kHotKeyNotes,
    kHotKeyCount
};
using HotKeyCodes = std::array<int, kHotKeyCount>;
// P, S, N, B, R, M, T.
constexpr HotKeyCodes kDefaultHotKeys{80, 83, 78, 66, 82, 77, 84};

// What has the keyboard focus in the main window.
enum class FocusKind {
    Other,       // a playlist, a button, a slider, nothing
    TextField,   // an editable line, text or spin edit, a combo box: its keys are its own
    FolderTree,  // the folder tree, put there by the operator: letters find folders, arrows fold
};

struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

enum class KeyCommand {
    ToggleDiagnostics,  // show or hide the diagnostics window
    Refresh,            // the file browser's refresh
    Pause,              // pause or resume both decks
    VolumeDown,         // the master volume one step down (not below 0)
    VolumeUp,           // one step up (not above 100)
    Play,
    Stop,
    Next,               // the "Next Track" button
    ToggleBreak,        // click btBreak
    ToggleRepeat,       // click btRepeat
    ToggleNotes,        // show or hide the notes window
    ToggleMute,         // click the mute button
    SeekBack,           // the "-5 sec" button
    SeekForward,        // the "+5 sec" button
};

struct KeyDispatch {
    std::vector<KeyCommand> commands;  // in the order to run them
    bool consumed = false;             // the key goes no further (to the focused control)
};

// The main window's key-down rules. virtualKey is a Windows key code (platform::virtualKey). A key
// the window acts on is consumed, and so is a transport key the lock holds back (it must not reach
// a focused button instead); every other key goes on to the focused control.
KeyDispatch dispatchKeyDown(int virtualKey, KeyModifiers modifiers, FocusKind focus, bool locked,
                            const HotKeyCodes& hotKeys);

struct CharDispatch {
    int jingle = 0;          // 1..9: play that jingle slot; 0 none
    bool scanAbort = false;  // Esc: a folder scan in progress stops
    bool consumed = false;
};

// The main window's (and the jingle windows') typed characters: a digit plays its jingle slot
// unless a text field or the folder tree has the focus; Esc stops a folder scan and goes on to the
// focused control.
CharDispatch dispatchKeyPress(char32_t character, FocusKind focus);

}  // namespace player
