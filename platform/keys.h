// Windows virtual-key codes from Qt key events. Letters, digits and punctuation come from the
// physical key, so that hot keys work the same under a Cyrillic keyboard layout.
#pragma once

#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace platform {

// The codes the programs' key handlers compare with ("A".."Z" and "0".."9" are their characters).
enum : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,  // VK_F1 + n - 1 for Fn, up to F24
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_OEM_1 = 0xBA,       // ;:
    VK_OEM_PLUS = 0xBB,    // =+
    VK_OEM_COMMA = 0xBC,   // ,<
    VK_OEM_MINUS = 0xBD,   // -_
    VK_OEM_PERIOD = 0xBE,  // .>
    VK_OEM_2 = 0xBF,       // /?
    VK_OEM_3 = 0xC0,       // `~
    VK_OEM_4 = 0xDB,       // [{
    VK_OEM_5 = 0xDC,       // \|
    VK_OEM_6 = 0xDD,       // ]}
    VK_OEM_7 = 0xDE,       // '"
    VK_OEM_102 = 0xE2,     // the extra key beside left Shift
};

// The virtual-key code of a key event, 0 when the key has none. Letters, digits and punctuation
// are named by the physical key (its place on a US keyboard), read from the native scan code where
// the platform gives XKB key codes (xcb, Wayland); elsewhere from the Qt key.
int virtualKey(const QKeyEvent& event);
// The same with the kind of scan code stated (tests, other platforms).
int virtualKey(const QKeyEvent& event, bool xkbScanCodes);

// From the Qt key alone: special keys, Latin letters, digits and US punctuation; Cyrillic letters
// by their place on the Russian layout. 0 when unknown.
int virtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);
// From an XKB key code (Linux input code + 8) of a letter, digit or punctuation key; 0 otherwise.
int virtualKeyFromXkbKeycode(std::uint32_t keycode);

}  // namespace platform
