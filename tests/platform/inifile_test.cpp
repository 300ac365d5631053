// Ini files: what survives a rewrite, how values are read, encodings, and failures reported.
#include "platform/inifile.h"

#include "platform/regularfile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include <sys/stat.h>

using namespace platform;

namespace {

class IniTest : public ::testing::Test {
protected:
    std::string path(const std::string& name = "test.ini") const
    {
        return m_dir.path().toStdString() + "/" + name;
    }
    void put(const std::string& bytes, const std::string& name = "test.ini") const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string get(const std::string& name = "test.ini") const
    {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    QTemporaryDir m_dir;
};

using IniRewrite = IniTest;
using IniValues = IniTest;
using IniStructure = IniTest;
using IniEncoding = IniTest;
using IniFailures = IniTest;

}  // namespace

TEST_F(IniRewrite, KeepsOrderCommentsAndUnknownKeys)
{
    put("; settings\n"
        "[Options]\n"
        "Volume=50\n"
        "; a comment inside\n"
        "Unknown = kept as is \n"
        "not a key line\n"
        "\n"
        "[Device]\n"
        "MainDev=1\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.writeInteger("options", "VOLUME", 75));
    ASSERT_TRUE(ini.writeString("Options", "NewKey", "x"));
    ASSERT_TRUE(ini.writeBool("Extra", "Flag", true));
    EXPECT_EQ(get(),
              "; settings\r\n"
              "[Options]\r\n"
              "Volume=75\r\n"
              "; a comment inside\r\n"
              "Unknown = kept as is \r\n"
              "not a key line\r\n"
              "NewKey=x\r\n"
              "\r\n"
              "[Device]\r\n"
              "MainDev=1\r\n"
              "\r\n"
              "[Extra]\r\n"
              "Flag=1\r\n");
}

TEST_F(IniRewrite, DeletesKeysAndSectionsAndLeavesTheRest)
{
    put("[A]\r\nx=1\r\ny=2\r\nX=3\r\n[B]\r\nz=1\r\n[a]\r\nw=9\r\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.deleteKey("a", "X"));  // every "x" of the section
    EXPECT_EQ(get(), "[A]\r\ny=2\r\n[B]\r\nz=1\r\n[a]\r\nw=9\r\n");
    ASSERT_TRUE(ini.eraseSection("A"));  // both headers named "A"
    EXPECT_EQ(get(), "[B]\r\nz=1\r\n");
    EXPECT_TRUE(ini.deleteKey("B", "missing"));
    EXPECT_TRUE(ini.eraseSection("missing"));
    EXPECT_EQ(IniFile(path()).readInteger("B", "z", 0), 1);
}

TEST_F(IniRewrite, BufferedWritesReachTheFileOnlyOnFlush)
{
    IniFile ini(path(), IniFile::Mode::Buffered);
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(ini.writeInteger("S" + std::to_string(i % 7), "Key" + std::to_string(i), i));
    EXPECT_FALSE(std::filesystem::exists(path()));
    ASSERT_TRUE(ini.flush());
    IniFile back(path());
    EXPECT_EQ(back.sections().size(), 7u);
    EXPECT_EQ(back.readInteger("S3", "key3", -1), 3);
    EXPECT_EQ(back.readInteger("S5", "KEY299", -1), 299);
    // No temporary file is left beside the target.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(IniRewrite, ValueWithLineBreaksCannotInjectKeys)
{
    IniFile ini(path());
    ASSERT_TRUE(ini.writeString("S", "a", "one\r\n[Evil]\nb=2"));
    IniFile back(path());
    EXPECT_FALSE(back.sectionExists("Evil"));
    EXPECT_EQ(back.readString("S", "a", ""), "one  [Evil] b=2");
    // Names that cannot be written as a key or section are refused and change nothing.
    EXPECT_FALSE(ini.writeString("S", "a=b", "1"));
    EXPECT_FALSE(ini.writeString("S", "[x", "1"));
    EXPECT_FALSE(ini.writeString("S", "  ", "1"));
    EXPECT_FALSE(ini.writeString("a]b", "k", "1"));
    EXPECT_FALSE(ini.writeString("", "k", "1"));
    EXPECT_EQ(IniFile(path()).keys("S"), std::vector<std::string>{"a"});
}

TEST_F(IniValues, StringsAreTrimmedUnquotedAndCut)
{
    put("[S]\n"
        "a =  padded value \t\n"
        "b= \" quoted, blanks kept \" \n"
        "c='single'\n"
        "d=\"mismatched'\n"
        "e=\"\n"
        "f=\"\"\n"
        "g=\"a\"b\"\n"
        "long=" + std::string(3000, 'x') + "\n"
        "cyr=" + [] { std::string s; for (int i = 0; i < 2100; ++i) s += "ж"; return s; }() + "\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("S", "a", "?"), "padded value");
    EXPECT_EQ(ini.readString("S", "b", "?"), " quoted, blanks kept ");
    EXPECT_EQ(ini.readString("S", "c", "?"), "single");
    EXPECT_EQ(ini.readString("S", "d", "?"), "\"mismatched'");
    EXPECT_EQ(ini.readString("S", "e", "?"), "\"");
    EXPECT_EQ(ini.readString("S", "f", "?"), "");
    EXPECT_EQ(ini.readString("S", "g", "?"), "a\"b");
    EXPECT_EQ(ini.readString("S", "long", "?"), std::string(2047, 'x'));
    const std::string cyr = ini.readString("S", "cyr", "?");
    EXPECT_EQ(cyr.size(), 2047u * 2);  // 2047 characters, none split
    EXPECT_EQ(ini.readString("S", "missing", "def"), "def");
    EXPECT_EQ(ini.readString("Nope", "a", "def"), "def");
}

TEST_F(IniValues, IntegersDecimalOrHexElseTheDefault)
{
    put("[N]\n"
        "dec=42\nneg=-17\nplus=+5\nblank= 12 \nquoted='7'\n"
        "dollar=$FF\nlower=$ff\nhex=0x1f\nupperX=0X20\ncolour=$80000005\nall=0xFFFFFFFF\n"
        "min=-2147483648\nmax=2147483647\n"
        "tooBig=2147483648\nhexTooBig=$100000000\nhuge=99999999999999999999\n"
        "trailing=12abc\nempty=\ndollarOnly=$\nxOnly=0x\nspaceInside=1 2\nfloat=1.5\nbadHex=$G1\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readInteger("N", "dec", 0), 42);
    EXPECT_EQ(ini.readInteger("N", "neg", 0), -17);
    EXPECT_EQ(ini.readInteger("N", "plus", 0), 5);
    EXPECT_EQ(ini.readInteger("N", "blank", 0), 12);
    EXPECT_EQ(ini.readInteger("N", "quoted", 0), 7);
    EXPECT_EQ(ini.readInteger("N", "dollar", 0), 255);
    EXPECT_EQ(ini.readInteger("N", "lower", 0), 255);
    EXPECT_EQ(ini.readInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini.readInteger("N", "hex", 0), ini.readInteger("N", "upperX", 0) - 1);
    EXPECT_EQ(ini.readInteger("N", "colour", 0), static_cast<std::int32_t>(0x80000005u));
    EXPECT_EQ(ini.readInteger("N", "all", 0), -1);
    EXPECT_EQ(ini.readInteger("N", "min", 0), INT32_MIN);
    EXPECT_EQ(ini.readInteger("N", "max", 0), INT32_MAX);
    for (const char* bad : {"tooBig", "hexTooBig", "huge", "trailing", "empty", "dollarOnly", "xOnly",
                            "spaceInside", "float", "badHex", "missing"})
        EXPECT_EQ(ini.readInteger("N", bad, -99), -99) << bad;
}

TEST_F(IniValues, BooleansAndFloats)
{
    put("[B]\non=1\noff=0\nfive=5\nminus=-1\nword=yes\n"
        "[F]\ndot=1.5\ncomma=-2,25\nexp=1e3\nint=7\nbad=1.5x\nnan=nan\ninf=inf\nempty=\n");
    IniFile ini(path());
    EXPECT_TRUE(ini.readBool("B", "on", false));
    EXPECT_FALSE(ini.readBool("B", "off", true));
    EXPECT_TRUE(ini.readBool("B", "five", false));
    EXPECT_TRUE(ini.readBool("B", "minus", false));
    EXPECT_TRUE(ini.readBool("B", "word", true));
    EXPECT_FALSE(ini.readBool("B", "word", false));
    EXPECT_DOUBLE_EQ(ini.readFloat("F", "dot", 0), 1.5);
    EXPECT_DOUBLE_EQ(ini.readFloat("F", "comma", 0), -2.25);
    EXPECT_DOUBLE_EQ(ini.readFloat("F", "exp", 0), 1000.0);
    EXPECT_DOUBLE_EQ(ini.readFloat("F", "int", 0), 7.0);
    for (const char* bad : {"bad", "nan", "inf", "empty", "missing"})
        EXPECT_DOUBLE_EQ(ini.readFloat("F", bad, 3.25), 3.25) << bad;

    ASSERT_TRUE(ini.writeBool("B", "off", true));
    ASSERT_TRUE(ini.writeFloat("F", "dot", 0.1));
    EXPECT_FALSE(ini.writeFloat("F", "dot", std::numeric_limits<double>::infinity()));
    const std::string text = get();
    EXPECT_NE(text.find("off=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("dot=0.1\r\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(IniFile(path()).readFloat("F", "dot", 0), 0.1);
}

TEST_F(IniValues, BinaryRecordsAsHexText)
{
    IniFile ini(path());
    const std::uint8_t rec[5] = {0x01, 0xAB, 0x00, 0xFF, 0x10};
    ASSERT_TRUE(ini.writeBinary("Eq", "Settings", rec, sizeof rec));
    EXPECT_NE(get().find("Settings=01AB00FF10\r\n"), std::string::npos);
    std::uint8_t back[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_EQ(IniFile(path()).readBinary("eq", "settings", back, sizeof back), 5u);
    EXPECT_EQ(back[1], 0xAB);
    EXPECT_EQ(back[5], 9);
    EXPECT_EQ(ini.readBinary("Eq", "missing", back, sizeof back), 0u);
}

TEST_F(IniStructure, CaseBlindNamesFirstOccurrenceWins)
{
    put("[Form1.Captions]\n"
        "btPlay=Play\n"
        "BTPLAY=second\n"
        "lbl = \"Текст\"\n"
        "; comment=not a key\n"
        "junk line\n"
        "=no name\n"
        "[Другой]\n"
        "Ключ=1\n"
        "[form1.captions]\n"
        "later=ignored\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("FORM1.CAPTIONS", "btplay", ""), "Play");
    EXPECT_EQ(ini.readInteger("другой", "КЛЮЧ", 0), 1);
    EXPECT_EQ(ini.sections(), (std::vector<std::string>{"Form1.Captions", "Другой"}));
    EXPECT_EQ(ini.keys("form1.captions"), (std::vector<std::string>{"btPlay", "lbl"}));
    const auto values = ini.sectionValues("Form1.Captions");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], (std::pair<std::string, std::string>{"btPlay", "Play"}));
    EXPECT_EQ(values[1], (std::pair<std::string, std::string>{"lbl", "Текст"}));
    EXPECT_FALSE(ini.valueExists("Form1.Captions", "later"));
    EXPECT_FALSE(ini.valueExists("Form1.Captions", "junk line"));
    EXPECT_TRUE(ini.sectionExists("ДРУГОЙ"));
    EXPECT_TRUE(ini.sectionValues("missing").empty());

    // A write goes to the first of the duplicates, keeping the spelling of the file.
    ASSERT_TRUE(ini.writeString("FORM1.captions", "BTPLAY", "new"));
    EXPECT_NE(get().find("btPlay=new\r\nBTPLAY=second\r\n"), std::string::npos);
}

TEST_F(IniStructure, KeysBeforeTheFirstSectionAreNotReadButKept)
{
    put("stray=1\n[S]\nk=v\n");
    IniFile ini(path());
    EXPECT_FALSE(ini.valueExists("", "stray"));
    ASSERT_TRUE(ini.writeString("S", "k", "w"));
    EXPECT_EQ(get(), "stray=1\r\n[S]\r\nk=w\r\n");
}

TEST_F(IniEncoding, LineEndingsBomAndCodePage1251)
{
    put("\xEF\xBB\xBF[S]\r\na=1\nb=\xCF\xF0\xE8\xE2\xE5\xF2\r\nc=Привет\n");
    IniFile ini(path());
    EXPECT_TRUE(ini.sectionExists("S"));
    EXPECT_EQ(ini.readInteger("S", "a", 0), 1);
    EXPECT_EQ(ini.readString("S", "b", ""), "Привет");
    EXPECT_EQ(ini.readString("S", "c", ""), "Привет");
    ASSERT_TRUE(ini.writeInteger("S", "a", 2));
    EXPECT_EQ(get(), "[S]\r\na=2\r\nb=Привет\r\nc=Привет\r\n");  // UTF-8 written, no BOM
}

TEST_F(IniFailures, WriteToAMissingFolderIsReported)
{
    const std::string bad = path("missing/sub/test.ini");
    IniFile ini(bad);
    EXPECT_FALSE(ini.writeInteger("S", "k", 5));
    EXPECT_EQ(ini.readInteger("S", "k", 0), 5);  // still changed in memory

    IniFile buffered(bad, IniFile::Mode::Buffered);
    EXPECT_TRUE(buffered.writeInteger("S", "k", 5));
    EXPECT_FALSE(buffered.flush());

    // A regular file where a folder should be.
    put("x", "plain");
    IniFile underFile(path("plain/test.ini"));
    EXPECT_FALSE(underFile.writeString("S", "k", "v"));
}

TEST_F(IniFailures, TargetReplacedByAFolderIsReported)
{
    put("[S]\r\nk=old\r\n");
    IniFile ini(path());
    // The rename into place cannot replace a folder.
    std::filesystem::remove(path());
    std::filesystem::create_directory(path());
    EXPECT_FALSE(ini.writeString("S", "k", "new"));
    EXPECT_TRUE(std::filesystem::is_directory(path()));
}

TEST_F(IniFailures, SomethingThatIsNoRegularFileOrTooLargeIsNeitherReadNorReplaced)
{
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
    IniFile pipe(path("pipe"));  // must not block waiting for a writer
    EXPECT_TRUE(pipe.sections().empty());
    EXPECT_EQ(pipe.readError(), "Not a regular file");
    EXPECT_FALSE(pipe.writeString("S", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_fifo(path("pipe")));

    // Past the bound a file is not taken into memory (it would cost some 24 times its size).
    std::string big = "[S]\r\nk=v\r\n";
    big.resize(kMaxSettingsFileBytes + 1, ';');
    put(big, "big.ini");
    IniFile large(path("big.ini"));
    EXPECT_FALSE(large.sectionExists("S"));
    EXPECT_EQ(large.readError(), "Larger than 8 MB");
    EXPECT_FALSE(large.writeString("S", "k", "w"));
    EXPECT_EQ(std::filesystem::file_size(path("big.ini")), kMaxSettingsFileBytes + 1);

    std::filesystem::create_directory(path("folder.ini"));
    IniFile folder(path("folder.ini"), IniFile::Mode::Buffered);
    EXPECT_TRUE(folder.writeString("S", "k", "v"));
    EXPECT_FALSE(folder.flush());
    EXPECT_TRUE(std::filesystem::is_directory(path("folder.ini")));
}

TEST_F(IniFailures, RandomAndTruncatedBytesReadWithoutHarm)
{
    std::mt19937 rng(1234);
    const std::string sample = "[S]\r\nkey=\"value\"\r\n[T\r\n=x\r\n;c\r\nk2=$1F\r\n";
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        if (round < static_cast<int>(sample.size())) {
            bytes = sample.substr(0, static_cast<std::size_t>(round));
        } else {
            const std::size_t len = rng() % 400;
            const char alphabet[] = "[]=;\"' \r\n\tab$0x\xFF\xD0";
            for (std::size_t i = 0; i < len; ++i)
                bytes += rng() % 2 ? alphabet[rng() % (sizeof alphabet - 1)] : static_cast<char>(rng());
        }
        put(bytes);
        IniFile ini(path());
        for (const auto& s : ini.sections()) {
            for (const auto& [k, v] : ini.sectionValues(s)) {
                EXPECT_LE(v.size(), IniFile::kMaxValueLength * 4);
                ini.readInteger(s, k, 0);
                ini.readFloat(s, k, 0);
            }
        }
        // Whatever was read survives a rewrite unchanged in meaning (checked on some rounds:
        // every rewrite is synced to disk).
        if (round % 5 != 0)
            continue;
        const auto before = ini.sections();
        ASSERT_TRUE(ini.writeString("Added", "k", "v"));
        IniFile back(path());
        std::vector<std::string> after = back.sections();
        ASSERT_FALSE(after.empty());
        EXPECT_EQ(after.back(), "Added");
        after.pop_back();
        EXPECT_EQ(after, before);
    }
}
