// Field-by-field little-endian serialisation of fixed records.
#include "platform/bytes.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

template <typename U>
void putLittle(std::vector<std::uint8_t>& out, U v)
{
    for (std::size_t i = 0; i < sizeof(U); ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

void ByteWriter::u8(std::uint8_t v) { m_data.push_back(v); }
void ByteWriter::i16(std::int16_t v) { putLittle(m_data, static_cast<std::uint16_t>(v)); }
void ByteWriter::u16(std::uint16_t v) { putLittle(m_data, v); }
void ByteWriter::i32(std::int32_t v) { putLittle(m_data, static_cast<std::uint32_t>(v)); }
void ByteWriter::u32(std::uint32_t v) { putLittle(m_data, v); }

void ByteWriter::f32(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    putLittle(m_data, bits);
}

void ByteWriter::f64(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    putLittle(m_data, bits);
}

void ByteWriter::bytes(const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_data.insert(m_data.end(), p, p + size);
}

void ByteWriter::shortString(std::string_view text, std::size_t capacity)
{
    // The length byte cannot count beyond 255.
    const std::size_t len = std::min({text.size(), capacity, std::size_t{255}});
    m_data.push_back(static_cast<std::uint8_t>(len));
    bytes(text.data(), len);
    zeros(capacity - len);
}

void ByteWriter::zeros(std::size_t count) { m_data.insert(m_data.end(), count, 0); }

ByteReader::ByteReader(const void* data, std::size_t size)
    : m_data(static_cast<const std::uint8_t*>(data)), m_size(data ? size : 0)
{
}

void ByteReader::bytes(void* dst, std::size_t size)
{
    auto* out = static_cast<std::uint8_t*>(dst);
    const std::size_t avail = m_pos < m_size ? m_size - m_pos : 0;
    const std::size_t n = std::min(avail, size);
    if (n > 0)
        std::memcpy(out, m_data + m_pos, n);
    if (n < size) {
        std::memset(out + n, 0, size - n);
        m_overrun = true;
    }
    m_pos += n;
}

namespace {

template <typename U>
U getLittle(ByteReader& r)
{
    std::uint8_t buf[sizeof(U)];
    r.bytes(buf, sizeof buf);
    U v = 0;
    for (std::size_t i = 0; i < sizeof(U); ++i)
        v |= static_cast<U>(static_cast<U>(buf[i]) << (8 * i));
    return v;
}

}  // namespace

std::uint8_t ByteReader::u8() { return getLittle<std::uint8_t>(*this); }
std::int16_t ByteReader::i16() { return static_cast<std::int16_t>(getLittle<std::uint16_t>(*this)); }
std::uint16_t ByteReader::u16() { return getLittle<std::uint16_t>(*this); }
std::int32_t ByteReader::i32() { return static_cast<std::int32_t>(getLittle<std::uint32_t>(*this)); }
std::uint32_t ByteReader::u32() { return getLittle<std::uint32_t>(*this); }

float ByteReader::f32()
{
    const std::uint32_t bits = getLittle<std::uint32_t>(*this);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

double ByteReader::f64()
{
    const std::uint64_t bits = getLittle<std::uint64_t>(*this);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string ByteReader::shortString(std::size_t capacity)
{
    const std::size_t start = m_pos;
    const std::size_t len = std::min<std::size_t>(u8(), capacity);
    std::string text(capacity, '\0');
    bytes(text.data(), capacity);
    // A truncated field yields only the characters that were really there.
    const std::size_t fieldStart = start + 1;
    const std::size_t present = m_size > fieldStart ? std::min(m_size - fieldStart, capacity) : 0;
    text.resize(std::min(len, present));
    return text;
}

void ByteReader::skip(std::size_t count)
{
    const std::size_t avail = m_pos < m_size ? m_size - m_pos : 0;
    if (count > avail) {
        m_overrun = true;
        m_pos = m_size;
        return;
    }
    m_pos += count;
}

}  // namespace platform
