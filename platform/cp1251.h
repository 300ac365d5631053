// Code page 1251 (the fixed records' text encoding) to and from UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string cp1251ToUtf8(std::string_view bytes);
// Characters code page 1251 cannot hold become "?".
std::string utf8ToCp1251(std::string_view text);
bool isValidUtf8(std::string_view bytes);
// Decodes the UTF-8 sequence at pos (pos < s.size()); returns its length, or 0 when the bytes there
// are not a well-formed sequence (overlong forms, surrogates and values above U+10FFFF included).
std::size_t decodeUtf8(std::string_view s, std::size_t pos, char32_t& cp);
// Appends code point cp (below 0x110000) as UTF-8.
void appendUtf8(std::string& out, char32_t cp);
// Text read from a file this system wrote or a user edited: UTF-8 when it is valid UTF-8,
// otherwise taken as code page 1251.
std::string decodeText(std::string_view bytes);

}  // namespace platform
