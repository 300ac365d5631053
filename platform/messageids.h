// Message numbers of the window messages between the programs and from the audio engine.
// They are fixed: both programs and the outside programs rely on them.
#pragma once

#include <cstdint>

namespace platform {

constexpr std::uint32_t WM_USER = 0x400;
constexpr std::uint32_t UM_CENTER_DIALOG = 0x401;
constexpr std::uint32_t UM_SEARCH_QUIT = 0x464;
constexpr std::uint32_t UM_BASE_SHOW = 0x465;
constexpr std::uint32_t UM_BASE_HIDE = 0x466;
constexpr std::uint32_t UM_SEARCH_HELLO = 0x467;
constexpr std::uint32_t UM_SEARCH_QUERY = 0x468;
constexpr std::uint32_t UM_LOAD_TEMP_LIST = 0x469;
constexpr std::uint32_t UM_PING = 0x46A;
constexpr std::uint32_t UM_TRAY_NOTIFY = 0x46B;
constexpr std::uint32_t UM_ENCODER_PROGRESS = 0x46C;
constexpr std::uint32_t UM_COMMAND_LINE = 0x46D;
constexpr std::uint32_t UM_DECK_ENDED = 0x46E;

}  // namespace platform
