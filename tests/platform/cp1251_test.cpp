// Code page 1251 conversion and the UTF-8-or-1251 reading rule.
#include "platform/cp1251.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Cp1251, CyrillicAndSpecialCharactersBothWays)
{
    // "Привет, Ёж №5 €" in code page 1251.
    const std::string bytes = "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6 \xB9" "5 \x88";
    const std::string utf8 = "Привет, Ёж №5 €";
    EXPECT_EQ(cp1251ToUtf8(bytes), utf8);
    EXPECT_EQ(utf8ToCp1251(utf8), bytes);
    EXPECT_EQ(cp1251ToUtf8("\xC0\xDF\xE0\xFF"), "АЯая");
}

TEST(Cp1251, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    const std::string utf8 = cp1251ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(utf8ToCp1251(utf8), all);
}

TEST(Cp1251, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");        // a CJK character
    EXPECT_EQ(utf8ToCp1251("\xC3\xA9t\xC3\xA9"), "?t?");         // é is not in the code page
    EXPECT_EQ(utf8ToCp1251("x\xF0\x9F\x8E\xB5y"), "x?y");       // four-byte character, one "?"
    EXPECT_EQ(utf8ToCp1251("bad \xFF\xC3"), "bad ??");          // broken UTF-8 bytes
}

TEST(Cp1251, Utf8Validation)
{
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("Ёлка \xF0\x9F\x8E\xB5"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));              // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));          // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));      // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xD0"));                  // truncated sequence at the end
    EXPECT_FALSE(isValidUtf8("\xD0\x41"));              // missing continuation byte
}

TEST(Cp1251, DecodeTextTakesUtf8AsItIsAndAnythingElseAs1251)
{
    EXPECT_EQ(decodeText("Музыка"), "Музыка");
    EXPECT_EQ(decodeText("\xCC\xF3\xE7\xFB\xEA\xE0"), "Музыка");
}
