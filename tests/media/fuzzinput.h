// The fuzz targets' input file: the bytes of one run written to a file of this process, with
// message boxes recorded instead of shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mediatest {

const std::string& fuzzInputFile(const std::uint8_t* data, std::size_t size);

}  // namespace mediatest
