// The layout of a profile file: its sections and keys in the order a new file holds them, and the
// writer that puts a save's values into a profile file in that order.
#pragma once

#include <span>
#include <string_view>

namespace platform {
class IniFile;
}

namespace player {

struct ProfileSectionLayout {
    std::string_view name;
    std::span<const std::string_view> keys;  // in file order
};

// Every section of a profile in file order, each with its keys in file order.
std::span<const ProfileSectionLayout> profileLayout();

// Copies every value of staged into target unchanged: first the layout's keys in layout order,
// then whatever else staged holds (keys and sections the layout does not list), in staged's
// order. Keys and sections that only target holds stay where they are, so an existing file keeps
// what this program does not know, and a new file comes out in layout order.
void writeInLayoutOrder(const platform::IniFile& staged, platform::IniFile& target);

}  // namespace player
