// The main window's key rules as a pure function: which command a key runs, with which modifiers,
// focus and lock, and whether it is used up.
#include "player/hotkeys/keydispatch.h"

#include "platform/keys.h"

#include <gtest/gtest.h>

using namespace player;
using C = KeyCommand;

namespace {

constexpr KeyModifiers kNone{};
constexpr KeyModifiers kCtrl{false, true, false};
constexpr KeyModifiers kShift{true, false, false};
constexpr int kF5 = platform::VK_F1 + 4;

std::vector<C> commands(int key, KeyModifiers mods = kNone, FocusKind focus = FocusKind::Other, bool locked = false,
                        const HotKeyCodes& keys = kDefaultHotKeys)
{
    return dispatchKeyDown(key, mods, focus, locked, keys).commands;
}

bool consumed(int key, KeyModifiers mods = kNone, FocusKind focus = FocusKind::Other, bool locked = false)
{
    return dispatchKeyDown(key, mods, focus, locked, kDefaultHotKeys).consumed;
}

TEST(KeyDispatch, DefaultKeysRunTheirCommandsAndAreUsedUp)
{
    const std::pair<int, C> keys[] = {
        {'P', C::Play},         {platform::VK_RETURN, C::Play}, {'S', C::Stop},
        {'N', C::Next},         {'B', C::ToggleBreak},          {'R', C::ToggleRepeat},
        {'M', C::ToggleMute},   {'G', C::ToggleMute},           {'T', C::ToggleNotes},
        {platform::VK_SPACE, C::Pause},   {platform::VK_OEM_COMMA, C::VolumeDown},
        {platform::VK_OEM_PERIOD, C::VolumeUp}, {platform::VK_LEFT, C::SeekBack},
        {platform::VK_RIGHT, C::SeekForward},   {kF5, C::Refresh}};
    for (const auto& [key, command] : keys) {
        EXPECT_EQ(commands(key), std::vector<C>{command}) << "key " << key;
        EXPECT_TRUE(consumed(key)) << "key " << key;
    }
    EXPECT_EQ(commands('D', kCtrl), std::vector<C>{C::ToggleDiagnostics});
    // Keys the window has no use for go on to the focused control.
    for (int key : std::initializer_list<int>{'X', 'D', int(platform::VK_DELETE), int(platform::VK_UP), 0}) {
        EXPECT_TRUE(commands(key).empty()) << key;
        EXPECT_FALSE(consumed(key)) << key;
    }
}

TEST(KeyDispatch, LettersIgnoreModifiersButDiagnosticsWantsCtrlAlone)
{
    EXPECT_EQ(commands('P', kCtrl), std::vector<C>{C::Play});
    EXPECT_EQ(commands('S', kShift), std::vector<C>{C::Stop});
    EXPECT_EQ(commands('N', KeyModifiers{false, false, true}), std::vector<C>{C::Next});
    EXPECT_TRUE(commands('D', KeyModifiers{true, true, false}).empty());
    EXPECT_TRUE(commands('D', KeyModifiers{false, true, true}).empty());
}

TEST(KeyDispatch, TextFieldsAndTheFolderTreeKeepTheirKeys)
{
    for (FocusKind focus : {FocusKind::TextField, FocusKind::FolderTree}) {
        for (int key : std::initializer_list<int>{'P', 'S', 'N', 'B', 'G', int(platform::VK_LEFT), int(platform::VK_RIGHT)}) {
            EXPECT_TRUE(commands(key, kNone, focus).empty()) << key;
            EXPECT_FALSE(consumed(key, kNone, focus)) << key;
        }
        // The tree has no use for the pause, play and volume keys.
        for (int key : std::initializer_list<int>{int(platform::VK_SPACE), int(platform::VK_RETURN), int(platform::VK_OEM_COMMA)})
            EXPECT_EQ(commands(key, kNone, focus).empty(), focus == FocusKind::TextField) << key;
        // Ctrl+D and F5 act wherever the focus is.
        EXPECT_EQ(commands('D', kCtrl, focus), std::vector<C>{C::ToggleDiagnostics});
        EXPECT_EQ(commands(kF5, kNone, focus), std::vector<C>{C::Refresh});
    }
}

TEST(KeyDispatch, TheLockHoldsTheTransportAndLetsTheRestThrough)
{
    for (int key : std::initializer_list<int>{'P', 'S', 'N', int(platform::VK_RETURN), int(platform::VK_SPACE)}) {
        EXPECT_TRUE(commands(key, kNone, FocusKind::Other, true).empty()) << key;
        // Used up all the same: it must not click a focused button instead.
        EXPECT_TRUE(consumed(key, kNone, FocusKind::Other, true)) << key;
    }
    const std::pair<int, C> free[] = {{'B', C::ToggleBreak},  {'R', C::ToggleRepeat},
                                      {'M', C::ToggleMute},   {'T', C::ToggleNotes},
                                      {platform::VK_OEM_PERIOD, C::VolumeUp}, {platform::VK_LEFT, C::SeekBack}};
    for (const auto& [key, command] : free)
        EXPECT_EQ(commands(key, kNone, FocusKind::Other, true), std::vector<C>{command}) << key;
}

TEST(KeyDispatch, ALetterGivenTwiceFollowsTheTwoGroups)
{
    HotKeyCodes keys = kDefaultHotKeys;
    keys[kHotKeyStop] = 'P';  // play is tested first
    EXPECT_EQ(commands('P', kNone, FocusKind::Other, false, keys), std::vector<C>{C::Play});
    keys = kDefaultHotKeys;
    keys[kHotKeyBreak] = 'P';  // one key of each group: both
    EXPECT_EQ(commands('P', kNone, FocusKind::Other, false, keys), (std::vector<C>{C::Play, C::ToggleBreak}));
    // Locked, only the break is left.
    EXPECT_EQ(commands('P', kNone, FocusKind::Other, true, keys), std::vector<C>{C::ToggleBreak});
    // G mutes whatever hot key 6 is; the freed M does nothing.
    keys = kDefaultHotKeys;
    keys[kHotKeyMute] = 'K';
    EXPECT_EQ(commands('G', kNone, FocusKind::Other, false, keys), std::vector<C>{C::ToggleMute});
    EXPECT_EQ(commands('K', kNone, FocusKind::Other, false, keys), std::vector<C>{C::ToggleMute});
    EXPECT_TRUE(commands('M', kNone, FocusKind::Other, false, keys).empty());
    // A code from a profile outside the letters is used as it is.
    keys[kHotKeyNotes] = platform::VK_F1;
    EXPECT_EQ(commands(platform::VK_F1, kNone, FocusKind::Other, false, keys), std::vector<C>{C::ToggleNotes});
}

TEST(KeyDispatch, DigitsPlayJinglesOutsideTextFields)
{
    for (char32_t c = U'1'; c <= U'9'; ++c) {
        const CharDispatch d = dispatchKeyPress(c, FocusKind::Other);
        EXPECT_EQ(d.jingle, static_cast<int>(c - U'0'));
        EXPECT_TRUE(d.consumed);
    }
    for (FocusKind focus : {FocusKind::TextField, FocusKind::FolderTree}) {
        const CharDispatch d = dispatchKeyPress(U'5', focus);
        EXPECT_EQ(d.jingle, 0);
        EXPECT_FALSE(d.consumed);
    }
    const CharDispatch zero = dispatchKeyPress(U'0', FocusKind::Other);
    EXPECT_EQ(zero.jingle, 0);
    EXPECT_FALSE(zero.consumed);
    EXPECT_EQ(dispatchKeyPress(U'a', FocusKind::Other).jingle, 0);
    // Esc stops a folder scan and still reaches the focused control (a window's Cancel).
    for (FocusKind focus : {FocusKind::Other, FocusKind::TextField}) {
        const CharDispatch esc = dispatchKeyPress(27, focus);
        EXPECT_TRUE(esc.scanAbort);
        EXPECT_FALSE(esc.consumed);
    }
}

}  // namespace
