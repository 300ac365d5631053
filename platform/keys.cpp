// Key translation: Qt keys and physical key codes to Windows virtual-key codes.
#include "platform/keys.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <array>

namespace platform {

namespace {

// Keys that name no character: the same on every layout.
int specialKey(int key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return VK_LWIN;
    case Qt::Key_Super_R: return VK_RWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    default: return 0;
    }
}

int keypadKey(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return VK_NUMPAD0 + (key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Period:
    case Qt::Key_Comma: return VK_DECIMAL;
    case Qt::Key_Slash: return VK_DIVIDE;
    default: return 0;  // with Num Lock off the keypad sends the navigation keys
    }
}

// Characters of the US layout, shifted or not, to the key that types them.
int usCharacterKey(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    switch (key) {
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma:
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period:
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash:
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    default: return 0;
    }
}

// Qt reports a Cyrillic letter as its upper-case code point; each sits on the key of the
// Russian layout that Windows names by the US letter or punctuation of that key.
int cyrillicKey(int key)
{
    // U+0410 А .. U+042F Я, in alphabetical order.
    static constexpr std::array<char, 32> kKeys = {
        'F', ',', 'D', 'U', 'L', 'T', ';', 'P', 'B', 'Q', 'R', 'K', 'V', 'Y', 'J', 'G',  // А..П
        'H', 'C', 'N', 'E', 'A', '[', 'W', 'X', 'I', 'O', ']', 'S', 'M', '\'', '.', 'Z',  // Р..Я
    };
    if (key == 0x0401)  // Ё
        return VK_OEM_3;
    if (key < 0x0410 || key > 0x042F)
        return 0;
    switch (const char c = kKeys[static_cast<std::size_t>(key - 0x0410)]) {
    case ',': return VK_OEM_COMMA;
    case '.': return VK_OEM_PERIOD;
    case ';': return VK_OEM_1;
    case '\'': return VK_OEM_7;
    case '[': return VK_OEM_4;
    case ']': return VK_OEM_6;
    default: return c;
    }
}

bool platformGivesXkbKeycodes()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("xcb") || name.startsWith(QLatin1String("wayland"));
}

}  // namespace

int virtualKeyFromXkbKeycode(std::uint32_t keycode)
{
    // Indexed by Linux input code (KEY_1 = 2 ... KEY_SLASH = 53); 0 where no character key sits.
    static constexpr std::array<int, 54> kByInputCode = {
        0, 0, '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', VK_OEM_MINUS, VK_OEM_PLUS, 0, 0,  // 0..15
        'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', VK_OEM_4, VK_OEM_6, 0, 0,               // 16..29
        'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', VK_OEM_1, VK_OEM_7, VK_OEM_3, 0, VK_OEM_5,   // 30..43
        'Z', 'X', 'C', 'V', 'B', 'N', 'M', VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2,                  // 44..53
    };
    constexpr std::uint32_t kXkbOffset = 8;
    constexpr std::uint32_t kInput102nd = 86;
    if (keycode < kXkbOffset)
        return 0;
    const std::uint32_t input = keycode - kXkbOffset;
    if (input == kInput102nd)
        return VK_OEM_102;
    return input < kByInputCode.size() ? kByInputCode[input] : 0;
}

int virtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (const int vk = keypadKey(qtKey))
            return vk;
    }
    if (const int vk = specialKey(qtKey))
        return vk;
    if (const int vk = usCharacterKey(qtKey))
        return vk;
    return cyrillicKey(qtKey);
}

int virtualKey(const QKeyEvent& event, bool xkbScanCodes)
{
    const int key = event.key();
    const auto modifiers = event.modifiers();
    if (modifiers & Qt::KeypadModifier) {
        if (const int vk = keypadKey(key))
            return vk;
    }
    if (const int vk = specialKey(key))
        return vk;
    // Character keys are named by where they sit, whatever the layout types on them.
    if (xkbScanCodes) {
        if (const int vk = virtualKeyFromXkbKeycode(event.nativeScanCode()))
            return vk;
    }
    return virtualKeyFromQtKey(key, modifiers);
}

int virtualKey(const QKeyEvent& event) { return virtualKey(event, platformGivesXkbKeycodes()); }

}  // namespace platform
