// The player's ten built-in message texts; the language file's section "Strings" replaces them.
#pragma once

#include <QString>

#include <array>

namespace player {

constexpr int kPlayerMessageCount = 10;
using PlayerMessages = std::array<QString, kPlayerMessageCount>;

const PlayerMessages& BuiltInMessages();

}  // namespace player
