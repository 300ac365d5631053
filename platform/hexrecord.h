// Records and arrays stored as hexadecimal text inside ini values: two upper-case digits per
// byte in memory order; read in either case, stopping at the first bad pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

std::string toHex(const void* data, std::size_t size);

// Replaces the start of dst with the bytes read; digits beyond size are ignored; returns the
// number of bytes read (0 for an empty text, which leaves dst alone).
std::size_t fromHex(std::string_view text, void* dst, std::size_t size);

}  // namespace platform
