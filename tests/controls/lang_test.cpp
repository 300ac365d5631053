// Language sections: keys in file order, section names in any case, empty values, long values,
// code page 1251 files, missing files, and an exception from the callback.
#include "controls/lang.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

using controls::ReadLangSection;

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class LangSectionTest : public ::testing::Test {
protected:
    std::string write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path.toStdString();
    }

    Pairs read(const std::string& file, const std::string& section)
    {
        Pairs seen;
        ReadLangSection(file, section, [&seen](const std::string& k, const std::string& v) { seen.emplace_back(k, v); });
        return seen;
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(LangSectionTest, KeysComeInFileOrderInAnyCaseOfTheSectionName)
{
    const auto file = write("lang.ini",
                            "[Other]\r\nButton1=no\r\n"
                            "[Form1.Captions]\r\n"
                            "Label2=Second\r\n"
                            "Button1=First\r\n"
                            "; a comment\r\n"
                            "Empty=\r\n"
                            "[Next]\r\nZ=z\r\n");
    const Pairs expected{{"Label2", "Second"}, {"Button1", "First"}, {"Empty", ""}};
    EXPECT_EQ(read(file, "Form1.Captions"), expected);
    EXPECT_EQ(read(file, "FORM1.captions"), expected);
    EXPECT_TRUE(read(file, "Missing").empty());
}

TEST_F(LangSectionTest, CodePage1251FilesArriveAsUnicode)
{
    // "Кнопка" and "Файл" in code page 1251.
    const QByteArray bytes = "[Strings]\r\ns0=\xCA\xED\xEE\xEF\xEA\xE0\r\n\xD4\xE0\xE9\xEB=x\r\n";
    const auto file = write("cp1251.ini", bytes);
    const Pairs expected{{"s0", "Кнопка"}, {"Файл", "x"}};
    EXPECT_EQ(read(file, "strings"), expected);
}

TEST_F(LangSectionTest, LongValuesAreCutTo2047Characters)
{
    const QByteArray value(3000, 'a');
    const auto file = write("long.ini", "[S]\nk=" + value + "\n");
    const Pairs seen = read(file, "S");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].second.size(), 2047u);
}

TEST_F(LangSectionTest, MissingFileMakesNoCallAndIsNotCreated)
{
    const std::string path = dir.filePath("absent.ini").toStdString();
    EXPECT_TRUE(read(path, "Form1").empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_TRUE(read(dir.path().toStdString(), "Form1").empty());  // a folder, not a file
}

TEST_F(LangSectionTest, AnExceptionFromTheCallbackEndsTheVisit)
{
    const auto file = write("lang.ini", "[S]\na=1\nb=2\nc=3\n");
    int calls = 0;
    EXPECT_THROW(ReadLangSection(file, "S",
                                 [&calls](const std::string& key, const std::string&) {
                                     ++calls;
                                     if (key == "b")
                                         throw std::runtime_error("stop");
                                 }),
                 std::runtime_error);
    EXPECT_EQ(calls, 2);
}
