// The main window's key rules.
#include "player/hotkeys/keydispatch.h"

#include "platform/keys.h"

namespace player {

namespace {

constexpr int kKeyD = 'D';
constexpr int kKeyG = 'G';
constexpr int kKeyF5 = platform::VK_F1 + 4;

}  // namespace

KeyDispatch dispatchKeyDown(int key, KeyModifiers mods, FocusKind focus, bool locked, const HotKeyCodes& hotKeys)
{
    KeyDispatch d;
    auto run = [&d](KeyCommand c) {
        d.commands.push_back(c);
        d.consumed = true;
    };
    if (key == 0)
        return d;
    // Ctrl alone with D, and F5, act wherever the focus is.
    if (key == kKeyD && mods.ctrl && !mods.alt && !mods.shift) {
        run(KeyCommand::ToggleDiagnostics);
        return d;
    }
    if (key == kKeyF5) {
        run(KeyCommand::Refresh);
        return d;
    }
    if (focus == FocusKind::TextField)
        return d;
    // The folder tree keeps the keys it uses: letters find folders, the arrows fold them.
    if (focus == FocusKind::FolderTree &&
        ((key >= 'A' && key <= 'Z') || key == platform::VK_LEFT || key == platform::VK_RIGHT))
        return d;

    if (key == platform::VK_SPACE) {
        if (!locked)
            run(KeyCommand::Pause);
        d.consumed = true;
        return d;
    }
    if (key == platform::VK_OEM_COMMA) {
        run(KeyCommand::VolumeDown);
        return d;
    }
    if (key == platform::VK_OEM_PERIOD) {
        run(KeyCommand::VolumeUp);
        return d;
    }

    // Letters act whatever Shift, Ctrl or Alt say (a menu's or an action's shortcut has had the
    // key first, if it had one).
    const auto is = [&hotKeys, key](HotKeyIndex i) { return hotKeys[static_cast<std::size_t>(i)] == key; };
    if (is(kHotKeyPlay) || key == platform::VK_RETURN) {
        if (!locked)
            run(KeyCommand::Play);
        d.consumed = true;
    } else if (is(kHotKeyStop)) {
        if (!locked)
            run(KeyCommand::Stop);
        d.consumed = true;
    } else if (is(kHotKeyNext)) {
        if (!locked)
            run(KeyCommand::Next);
        d.consumed = true;
    }
    // The play modes, the notes and the mute are no transport: the lock leaves them.
    if (is(kHotKeyBreak))
        run(KeyCommand::ToggleBreak);
    else if (is(kHotKeyRepeat))
        run(KeyCommand::ToggleRepeat);
    else if (is(kHotKeyNotes))
        run(KeyCommand::ToggleNotes);
    else if (key == kKeyG || is(kHotKeyMute))
        run(KeyCommand::ToggleMute);

    if (key == platform::VK_LEFT)
        run(KeyCommand::SeekBack);
    else if (key == platform::VK_RIGHT)
        run(KeyCommand::SeekForward);
    return d;
}

CharDispatch dispatchKeyPress(char32_t c, FocusKind focus)
{
    CharDispatch d;
    if (c == 27) {
        d.scanAbort = true;
        return d;
    }
    if (c >= U'1' && c <= U'9' && focus == FocusKind::Other) {
        d.jingle = static_cast<int>(c - U'0');
        d.consumed = true;
    }
    return d;
}

}  // namespace player
