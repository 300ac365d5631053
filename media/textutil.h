// Small text helpers the readers share: trimming as the tag formats need it, integers read the
// strict way, UTF-16 little-endian to UTF-8, and the placeholders of the programs' texts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace media {

// Removes blanks and control characters (codes 0..32) at both ends.
std::string_view trimText(std::string_view text);
std::string_view trimRight(std::string_view text);
// The lines of a text, as views into it: a line ends at LF, CR LF or CR; an empty last line
// (the text ends with its line end) is not one.
std::vector<std::string_view> splitLines(std::string_view text);
// A decimal integer with an optional sign (leading blanks allowed); nothing else may follow.
std::optional<std::int64_t> parseInteger(std::string_view text);
// The integer, or 0 when text is not one that fits 32 bits.
std::int32_t toInt32Or0(std::string_view text);
// "Mono" for 1 channel, "Stereo" for 2, "Unknown" otherwise: the readers' channel-mode texts.
std::string channelModeName(int channels);
// UTF-16 little-endian code units to UTF-8; stops at a zero unit; a lone surrogate becomes U+FFFD.
std::string utf16LeToUtf8(std::string_view bytes);
// ASCII upper and lower case.
std::string asciiUpper(std::string_view text);
std::string asciiLower(std::string_view text);
// A text in the program's language with "%1" to "%9" replaced by the values, in one pass: a value
// that holds "%2" (a file name) stays as it is, and so does a placeholder without a value.
std::string fillText(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace media
