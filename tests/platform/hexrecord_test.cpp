// Records as hexadecimal text and their field-by-field little-endian layout.
#include "platform/bytes.h"
#include "platform/hexrecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

using namespace platform;

TEST(HexRecord, WritesTwoUpperCaseDigitsPerByteInMemoryOrder)
{
    const std::uint8_t bytes[] = {0x00, 0x0A, 0xFF, 0x7c};
    EXPECT_EQ(toHex(bytes, sizeof bytes), "000AFF7C");
    EXPECT_EQ(toHex(bytes, 0), "");
}

TEST(HexRecord, ReadsEitherCaseIntoTheStartOfTheRecord)
{
    std::array<std::uint8_t, 4> rec{1, 2, 3, 4};
    EXPECT_EQ(fromHex("aBcD", rec.data(), rec.size()), 2u);
    EXPECT_EQ(rec, (std::array<std::uint8_t, 4>{0xAB, 0xCD, 3, 4}));
}

TEST(HexRecord, StopsAtTheFirstBadOrIncompletePair)
{
    std::array<std::uint8_t, 4> rec{1, 2, 3, 4};
    EXPECT_EQ(fromHex("10G011", rec.data(), rec.size()), 1u);
    EXPECT_EQ(rec, (std::array<std::uint8_t, 4>{0x10, 2, 3, 4}));

    rec = {1, 2, 3, 4};
    EXPECT_EQ(fromHex("2030A", rec.data(), rec.size()), 2u);  // truncated: the lone digit is dropped
    EXPECT_EQ(rec, (std::array<std::uint8_t, 4>{0x20, 0x30, 3, 4}));

    rec = {1, 2, 3, 4};
    EXPECT_EQ(fromHex(" 1020", rec.data(), rec.size()), 0u);
    EXPECT_EQ(fromHex("", rec.data(), rec.size()), 0u);
    EXPECT_EQ(rec, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
}

TEST(HexRecord, IgnoresDigitsBeyondTheRecord)
{
    std::uint8_t guard[4] = {9, 9, 9, 9};
    EXPECT_EQ(fromHex("0102030405060708", guard, 2), 2u);
    EXPECT_EQ(guard[0], 1);
    EXPECT_EQ(guard[1], 2);
    EXPECT_EQ(guard[2], 9);  // nothing written past the record
}

TEST(ByteRecord, FieldsAreLittleEndianAndPacked)
{
    ByteWriter w;
    w.u8(0x11);
    w.i32(-2);
    w.u16(0x1234);
    w.f32(1.0f);
    w.shortString("Hi", 4);
    const std::uint8_t expected[] = {0x11, 0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 0x00, 0x00,
                                     0x80, 0x3F, 0x02, 'H',  'i',  0x00, 0x00};
    ASSERT_EQ(w.data().size(), sizeof expected);
    EXPECT_EQ(std::memcmp(w.data().data(), expected, sizeof expected), 0);

    ByteReader r(w.data().data(), w.data().size());
    EXPECT_EQ(r.u8(), 0x11);
    EXPECT_EQ(r.i32(), -2);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.f32(), 1.0f);
    EXPECT_EQ(r.shortString(4), "Hi");
    EXPECT_EQ(r.position(), w.data().size());
    EXPECT_FALSE(r.overrun());
}

TEST(ByteRecord, WideValuesRoundTrip)
{
    ByteWriter w;
    w.i16(-12345);
    w.u32(0xDEADBEEF);
    w.f64(-0.1);
    w.zeros(3);
    w.bytes("xyz", 3);
    ByteReader r(w.data().data(), w.data().size());
    EXPECT_EQ(r.i16(), -12345);
    EXPECT_EQ(r.u32(), 0xDEADBEEFu);
    EXPECT_EQ(r.f64(), -0.1);
    r.skip(3);
    char tail[3];
    r.bytes(tail, 3);
    EXPECT_EQ(std::string(tail, 3), "xyz");
    EXPECT_FALSE(r.overrun());
}

TEST(ByteRecord, ShortStringIsCutAndItsLengthByteClamped)
{
    ByteWriter w;
    w.shortString("abcdef", 3);
    ASSERT_EQ(w.data().size(), 4u);
    EXPECT_EQ(w.data()[0], 3);

    // A length byte larger than the field (a damaged record) reads only the field.
    const std::uint8_t damaged[] = {200, 'a', 'b', 'c', 'X'};
    ByteReader r(damaged, sizeof damaged);
    EXPECT_EQ(r.shortString(3), "abc");
    EXPECT_EQ(r.position(), 4u);
    EXPECT_EQ(r.u8(), 'X');
}

TEST(ByteRecord, ReadingPastTheEndGivesZerosAndIsFlagged)
{
    const std::uint8_t data[] = {0x01, 0x02, 0x05, 'a', 'b'};
    ByteReader r(data, sizeof data);
    EXPECT_EQ(r.u16(), 0x0201);
    EXPECT_FALSE(r.overrun());
    EXPECT_EQ(r.shortString(10), "ab");  // says 5 characters, only 2 are there
    EXPECT_TRUE(r.overrun());
    EXPECT_EQ(r.i32(), 0);

    ByteReader empty(nullptr, 100);
    EXPECT_EQ(empty.u32(), 0u);
    EXPECT_TRUE(empty.overrun());

    ByteReader s(data, sizeof data);
    s.skip(10);
    EXPECT_TRUE(s.overrun());
    EXPECT_EQ(s.u8(), 0);
}
