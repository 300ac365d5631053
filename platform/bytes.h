// Little-endian field-by-field serialisation of fixed records (never a dump of a padded struct),
// with bounds checks: reading past the end gives zeros and marks the reader as short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ByteWriter {
public:
    void u8(std::uint8_t v);
    void i16(std::int16_t v);
    void u16(std::uint16_t v);
    void i32(std::int32_t v);
    void u32(std::uint32_t v);
    void f32(float v);
    void f64(double v);
    void bytes(const void* data, std::size_t size);
    // A length-prefixed single-byte string field of capacity bytes (1 + capacity in all);
    // text longer than capacity is cut, the rest of the field zero-filled.
    void shortString(std::string_view text, std::size_t capacity);
    void zeros(std::size_t count);
    const std::vector<std::uint8_t>& data() const { return m_data; }

private:
    std::vector<std::uint8_t> m_data;
};

class ByteReader {
public:
    ByteReader(const void* data, std::size_t size);
    std::uint8_t u8();
    std::int16_t i16();
    std::uint16_t u16();
    std::int32_t i32();
    std::uint32_t u32();
    float f32();
    double f64();
    void bytes(void* dst, std::size_t size);
    // Reads a length-prefixed field of capacity bytes; a length byte above capacity is clamped.
    std::string shortString(std::size_t capacity);
    void skip(std::size_t count);
    std::size_t position() const { return m_pos; }
    bool overrun() const { return m_overrun; }  // something was read past the end

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_overrun = false;
};

}  // namespace platform
