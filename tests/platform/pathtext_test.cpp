// File names held in QStrings without loss: UTF-8 names as text, any other byte kept as it was,
// whatever surrounds it; only the screen decodes.
#include "platform/pathtext.h"

#include <gtest/gtest.h>

#include <random>

using namespace platform;

TEST(PathText, Utf8NamesAreTheirTextAndComeBackAsTheirBytes)
{
    for (const std::string name : {"/music/a.mp3", "/музыка/Кино - Группа крови.mp3", "/m/\xF0\x9F\x8E\xB5 note.ogg", ""}) {
        const QString text = pathToQString(name);
        EXPECT_EQ(text, QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        EXPECT_EQ(pathBytes(text), name);
        EXPECT_FALSE(hasRawBytes(text));
        EXPECT_EQ(pathForDisplay(text), text);
    }
}

TEST(PathText, OtherBytesSurviveAndTheScreenShowsThemAsCodePage1251)
{
    // "Кино" in code page 1251, a lone continuation byte, a cut sequence, an overlong "/" and an
    // encoded surrogate: none of them UTF-8.
    const std::string name = "/music/\xCA\xE8\xED\xEE/\x80x\xE2\x82/\xC0\xAF/\xED\xA0\x80.mp3";
    const QString text = pathToQString(name);
    EXPECT_TRUE(hasRawBytes(text));
    EXPECT_EQ(pathBytes(text), name);
    EXPECT_NE(text.toStdString(), name) << "plain conversion would lose them";
    EXPECT_TRUE(pathForDisplay(text).startsWith(QStringLiteral("/music/Кино/")));
    // A UTF-8 part beside raw bytes stays text.
    const std::string mixed = "/Кино/\xFF.mp3";
    EXPECT_EQ(pathBytes(pathToQString(mixed)), mixed);
    EXPECT_TRUE(pathToQString(mixed).startsWith(QStringLiteral("/Кино/")));
}

TEST(PathText, AnyBytesRoundTrip)
{
    std::mt19937 random(2024);
    for (int trial = 0; trial < 2000; ++trial) {
        std::string bytes(random() % 64, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 3 ? random() % 256 : 0x80 + random() % 64);
        ASSERT_EQ(pathBytes(pathToQString(bytes)), bytes) << trial;
    }
}
