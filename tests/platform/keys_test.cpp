// Virtual-key codes from Qt key events, above all the hot-key letters under a Cyrillic layout.
#include "platform/keys.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// XKB key codes (Linux input code + 8) of some physical keys.
constexpr quint32 kXkbP = 33, kXkbS = 39, kXkbN = 57, kXkbComma = 59, kXkbPeriod = 60, kXkbSlash = 61,
                  kXkb1 = 10, kXkbGrave = 49, kXkb102nd = 94, kXkbF5 = 71;

int vk(int qtKey, quint32 scanCode, bool xkb, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent e(QEvent::KeyPress, qtKey, mods, scanCode, 0, 0, text);
    return virtualKey(e, xkb);
}

}  // namespace

TEST(Keys, CyrillicLayoutGivesTheLettersAndPunctuationOfThePhysicalKey)
{
    // The keys P, S, N, comma and full stop type "з", "ы", "т", "б", "ю" under the Russian layout.
    EXPECT_EQ(vk(0x0417, kXkbP, true, Qt::NoModifier, "з"), 'P');
    EXPECT_EQ(vk(0x042B, kXkbS, true), 'S');
    EXPECT_EQ(vk(0x0422, kXkbN, true), 'N');
    EXPECT_EQ(vk(0x0411, kXkbComma, true), VK_OEM_COMMA);
    EXPECT_EQ(vk(0x042E, kXkbPeriod, true), VK_OEM_PERIOD);
    EXPECT_EQ(vk(0x0401, kXkbGrave, true), VK_OEM_3);
    // The Russian full stop sits on the slash key; Windows names it by that key too.
    EXPECT_EQ(vk(Qt::Key_Period, kXkbSlash, true), VK_OEM_2);
    EXPECT_EQ(vk(Qt::Key_QuoteDbl, kXkb1 + 1, true, Qt::ShiftModifier), '2');
    EXPECT_EQ(vk(Qt::Key_Backslash, kXkb102nd, true), VK_OEM_102);
}

TEST(Keys, WithoutScanCodesCyrillicLettersMapByTheRussianLayout)
{
    EXPECT_EQ(vk(0x0417, 0, false), 'P');
    EXPECT_EQ(vk(0x042B, 0, false), 'S');
    EXPECT_EQ(vk(0x0422, 0, false), 'N');
    EXPECT_EQ(vk(0x0411, 0, false), VK_OEM_COMMA);
    EXPECT_EQ(vk(0x042E, 0, false), VK_OEM_PERIOD);
    EXPECT_EQ(vk(0x0410, 0, false), 'F');
    EXPECT_EQ(vk(0x042F, 0, false), 'Z');
    EXPECT_EQ(vk(0x0416, 0, false), VK_OEM_1);
    // A scan code is not trusted where the platform does not give XKB codes.
    EXPECT_EQ(vk(0x0417, kXkbS, false), 'P');
}

TEST(Keys, LatinLettersDigitsAndUsPunctuation)
{
    EXPECT_EQ(vk(Qt::Key_P, kXkbP, true), 'P');
    // On a French layout the key in the place of Q types "a": still the Q key.
    EXPECT_EQ(vk(Qt::Key_A, kXkbP - 9, true), 'Q');
    EXPECT_EQ(vk(Qt::Key_P, 0, false, Qt::ControlModifier | Qt::ShiftModifier), 'P');
    EXPECT_EQ(vk(Qt::Key_D, 0, false, Qt::ControlModifier), 'D');
    EXPECT_EQ(vk(Qt::Key_7, 0, false), '7');
    EXPECT_EQ(vk(Qt::Key_Exclam, kXkb1, true, Qt::ShiftModifier), '1');
    EXPECT_EQ(vk(Qt::Key_Exclam, 0, false, Qt::ShiftModifier), '1');
    EXPECT_EQ(vk(Qt::Key_Comma, 0, false), VK_OEM_COMMA);
    EXPECT_EQ(vk(Qt::Key_Less, 0, false, Qt::ShiftModifier), VK_OEM_COMMA);
    EXPECT_EQ(vk(Qt::Key_Period, 0, false), VK_OEM_PERIOD);
    EXPECT_EQ(vk(Qt::Key_Greater, 0, false, Qt::ShiftModifier), VK_OEM_PERIOD);
    EXPECT_EQ(vk(Qt::Key_BracketRight, 0, false), VK_OEM_6);
    EXPECT_EQ(vk(Qt::Key_unknown, 0, false), 0);
    EXPECT_EQ(vk(Qt::Key_Eacute, 0, false), 0);
}

TEST(Keys, SpecialAndKeypadKeysIgnoreTheScanCode)
{
    EXPECT_EQ(vk(Qt::Key_F5, kXkbF5, true), VK_F1 + 4);
    EXPECT_EQ(vk(Qt::Key_F24, 0, false), 0x87);
    EXPECT_EQ(vk(Qt::Key_Space, 65, true), VK_SPACE);
    EXPECT_EQ(vk(Qt::Key_Return, 36, true), VK_RETURN);
    EXPECT_EQ(vk(Qt::Key_Enter, 104, true, Qt::KeypadModifier), VK_RETURN);
    EXPECT_EQ(vk(Qt::Key_Escape, 9, true), VK_ESCAPE);
    EXPECT_EQ(vk(Qt::Key_Left, 0, false), VK_LEFT);
    EXPECT_EQ(vk(Qt::Key_Right, 0, false), VK_RIGHT);
    EXPECT_EQ(vk(Qt::Key_Delete, 0, false), VK_DELETE);
    EXPECT_EQ(vk(Qt::Key_5, 84, true, Qt::KeypadModifier), VK_NUMPAD0 + 5);
    EXPECT_EQ(vk(Qt::Key_Minus, 0, false, Qt::KeypadModifier), VK_SUBTRACT);
    EXPECT_EQ(vk(Qt::Key_Home, 79, true, Qt::KeypadModifier), VK_HOME);  // Num Lock off
    EXPECT_EQ(virtualKeyFromXkbKeycode(0), 0);
    EXPECT_EQ(virtualKeyFromXkbKeycode(5000), 0);
}
