// "Presets\Encoder.prs": the record layout byte by byte, a round trip, a trailing partial record,
// length bytes larger than their fields, cuts at the field sizes and texts code page 1251 cannot hold.
#include "player/settings/encoderpresets.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace player;

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class EncoderPresetsFile : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return dir.path().toStdString() + "/" + name; }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(EncoderPresetsFile, RecordsAre366BytesWithLengthPrefixedCodePage1251Fields)
{
    const std::string file = path("Presets/Encoder.prs");
    ASSERT_TRUE(writeEncoderPresets(file, {{QStringLiteral("Лейм 192"), QStringLiteral("mp3.cfg"), QStringLiteral("mp3")},
                                           {QString(), QString(), QString()}}));
    const std::string bytes = readAll(file);
    ASSERT_EQ(bytes.size(), 2 * kEncoderPresetSize);
    EXPECT_EQ(bytes[0], 8);
    EXPECT_EQ(bytes.substr(1, 8), "\xCB\xE5\xE9\xEC 192");  // code page 1251
    EXPECT_EQ(bytes[101], 7);
    EXPECT_EQ(bytes.substr(102, 7), "mp3.cfg");
    EXPECT_EQ(bytes[357], 3);
    EXPECT_EQ(bytes.substr(358, 3), "mp3");
    EXPECT_EQ(bytes[366], 0);
    EXPECT_EQ(bytes[366 + 101], 0);
    EXPECT_EQ(bytes[366 + 357], 0);

    const auto back = readEncoderPresets(file);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0].Name, QStringLiteral("Лейм 192"));
    EXPECT_EQ((*back)[0].Command, QStringLiteral("mp3.cfg"));
    EXPECT_EQ((*back)[0].Ext, QStringLiteral("mp3"));
    EXPECT_TRUE((*back)[1].Name.isEmpty());
}

TEST_F(EncoderPresetsFile, ATrailingPartialRecordIsIgnoredAndAMissingFileIsEmpty)
{
    const std::string file = path("Encoder.prs");
    ASSERT_TRUE(writeEncoderPresets(file, {{"A", "a.cfg", "a"}, {"B", "b.cfg", "b"}}));
    writeAll(file, readAll(file) + std::string(200, 'x'));
    const auto back = readEncoderPresets(file);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[1].Name, "B");

    writeAll(file, std::string(365, '\x05'));
    EXPECT_EQ(readEncoderPresets(file)->size(), 0u);
    EXPECT_EQ(readEncoderPresets(path("none.prs"))->size(), 0u);
    EXPECT_FALSE(std::filesystem::exists(path("none.prs")));
    std::filesystem::create_directory(path("folder.prs"));
    EXPECT_FALSE(readEncoderPresets(path("folder.prs")).has_value());
}

TEST_F(EncoderPresetsFile, LengthBytesLargerThanTheirFieldTakeTheWholeField)
{
    std::string record(kEncoderPresetSize, 'n');
    record[0] = static_cast<char>(255);  // name field holds 100
    record[101] = static_cast<char>(255);  // command field holds 255: all of it
    record[357] = static_cast<char>(200);  // extension field holds 8
    std::fill(record.begin() + 102, record.begin() + 357, 'c');
    std::fill(record.begin() + 358, record.end(), 'e');
    writeAll(path("big.prs"), record);
    const auto back = readEncoderPresets(path("big.prs"));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 1u);
    EXPECT_EQ((*back)[0].Name, QString(100, 'n'));
    EXPECT_EQ((*back)[0].Command, QString(255, 'c'));
    EXPECT_EQ((*back)[0].Ext, QString(8, 'e'));
}

TEST_F(EncoderPresetsFile, TextsAreCutToTheirFieldsAndOthersThanCodePage1251KeptAsUtf8)
{
    const EncoderPreset cut = cutToFields({QString(120, 'x'), QString(300, 'y'), QStringLiteral("extension")});
    EXPECT_EQ(cut.Name, QString(100, 'x'));
    EXPECT_EQ(cut.Command, QString(255, 'y'));
    EXPECT_EQ(cut.Ext, QStringLiteral("extensio"));

    // A plug-in path in letters code page 1251 has no place for keeps them, whole characters only.
    const QString japanese = QStringLiteral("プラグイン/設定.cfg");
    EXPECT_EQ(cutToFields({QString(), japanese, QString()}).Command, japanese);
    const EncoderPreset longJapanese = cutToFields({QString(40, QChar(0x65E5)), QString(), QString()});
    EXPECT_EQ(longJapanese.Name, QString(33, QChar(0x65E5)));  // 99 of the 100 bytes
}
