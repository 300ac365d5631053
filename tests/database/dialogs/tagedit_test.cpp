// The tag edit dialog on its own (genre bytes, marker, the keep-genre box, fixed fields, code page
// 1251) and the tag command of the window over real files.
#include "database/dialogs/tagedit.h"
#include "database/errorlog.h"
#include "database/recordtext.h"
#include "database/tagbuffer.h"
#include "tests/database/mainwindowfixture.h"
#include "media/tag.h"
#include "platform/cp1251.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>
#include <filesystem>

using namespace database;
using dbtest::MainWindowTest;
namespace fs = std::filesystem;

namespace {

media::TTagRecord tagOf(const std::string& title, const std::string& genre)
{
    media::TTagRecord t;
    std::memset(&t, 0, sizeof t);
    std::memcpy(t.Kind, "TAG", 3);
    std::memcpy(t.Title, title.data(), std::min<std::size_t>(title.size(), 30));
    t.Genre.assign(genre);
    return t;
}

class TagEditDialogTest : public ::testing::Test {
protected:
    bool keepGenre = false;
};

TEST_F(TagEditDialogTest, AGenreOfTheListIsItsNumberAndOkWithoutChangeKeepsEverything)
{
    TTagEdit d(keepGenre);
    d.Tag = tagOf("Song", "rock");  // found without regard to case
    d.FormShow();
    EXPECT_EQ(d.ComboBox1->currentText(), "Rock");
    EXPECT_EQ(d.title->text(), "Song");
    EXPECT_TRUE(d.CheckBox1->isChecked());
    EXPECT_EQ(d.ComboBox1->count(), 149);
    EXPECT_EQ(d.ComboBox1->itemText(0), "<none>");
    d.Button1->click();
    EXPECT_EQ(d.CloseState, 1);
    EXPECT_EQ(d.GenreByte, 17);
    EXPECT_EQ(d.Tag.Genre.str(), "Rock");
    EXPECT_EQ(std::memcmp(d.Tag.Kind, "TAG", 3), 0);
    EXPECT_EQ(std::string(d.Tag.Title, 4), "Song");
    EXPECT_EQ(d.Tag.Title[4], 0);
}

TEST_F(TagEditDialogTest, NoneTypedUntickedAndFullFields)
{
    TTagEdit d(keepGenre);
    d.Tag = tagOf("", "");
    d.FormShow();
    EXPECT_EQ(d.ComboBox1->currentIndex(), 0);
    d.CheckBox1->setChecked(false);
    const QString thirty = QString(30, QChar('x'));
    d.title->setText(thirty + "yz");  // held to 30 by the box
    d.year->setText("199912");
    d.Button1->click();
    EXPECT_EQ(d.GenreByte, kGenreNone);
    EXPECT_EQ(std::string(d.Tag.Kind, 3), "000");
    EXPECT_EQ(std::string(d.Tag.Title, 30), std::string(30, 'x'));
    EXPECT_EQ(d.Tag.Artist[0], 0);  // the title's field is full, with no zero byte after it
    EXPECT_EQ(std::string(d.Tag.Year, 4), "1999");

    TTagEdit typed(keepGenre);
    typed.Tag = tagOf("", "My own genre");
    typed.FormShow();
    EXPECT_EQ(typed.ComboBox1->currentText(), "My own genre");  // kept in view
    typed.Button1->click();
    EXPECT_EQ(typed.GenreByte, kGenreTyped);
    EXPECT_EQ(typed.Tag.Genre.str(), "My own genre");

    TTagEdit exact(keepGenre);
    exact.Tag = tagOf("", "");
    exact.FormShow();
    exact.ComboBox1->setEditText("Jazz");  // typed exactly as an entry: that entry
    exact.Button1->click();
    EXPECT_EQ(exact.GenreByte, 8);
}

TEST_F(TagEditDialogTest, KeepGenreGivesTwoFiftyAndIsStoredAtEveryClose)
{
    {
        TTagEdit d(keepGenre);
        d.Tag = tagOf("", "Pop");
        d.show();
        EXPECT_FALSE(d.CheckBox2->isChecked());
        d.CheckBox2->setChecked(true);
        d.Button1->click();
        EXPECT_EQ(d.GenreByte, kGenreKeep);
    }
    EXPECT_TRUE(keepGenre);
    {
        TTagEdit d(keepGenre);
        d.show();
        EXPECT_TRUE(d.CheckBox2->isChecked());  // ticked again next time
        d.CheckBox2->setChecked(false);
        d.close();  // the title bar: Cancel, but the box is stored
        EXPECT_EQ(d.CloseState, 2);
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
    EXPECT_FALSE(keepGenre);
}

TEST_F(TagEditDialogTest, TextsAreCodePage1251InTheBufferAndTheFileNameIsShortened)
{
    TTagEdit d(keepGenre);
    d.Tag = tagOf(platform::utf8ToCp1251("Звезда"), "");
    d.FileName = "/very/long/" + std::string(300, 'd') + "/Песня.mp3";
    d.show();
    EXPECT_EQ(d.title->text(), QString::fromUtf8("Звезда"));
    EXPECT_EQ(d.Label8->toolTip().toStdString(), d.FileName);
    EXPECT_LT(d.Label8->text().size(), d.Label8->toolTip().size());
    d.artist->setText(QString::fromUtf8("Кино"));
    d.Button1->click();
    EXPECT_EQ(std::string(d.Tag.Artist, 4), platform::utf8ToCp1251("Кино"));
}

TEST(TagBufferTest, OneRowFillsFromTheRecordAndABlankRecordGetsNoMarker)
{
    auto r = dbtest::makeTrack({.title = "T", .artist = "A", .year = "2001", .genre = "Rock"});
    const media::TTagRecord t = tagFromRecord(*r);
    EXPECT_EQ(std::string(t.Kind, 3), "TAG");
    EXPECT_EQ(t.Title[0], 'T');
    EXPECT_EQ(std::string(t.Year, 4), "2001");
    EXPECT_EQ(t.Genre.str(), "Rock");
    auto blank = dbtest::makeTrack({.title = "  ", .comment = "\t"});
    EXPECT_EQ(std::string(tagFromRecord(*blank).Kind, 3), "NO_");
    const media::TTagRecord several = tagForSeveralRows();
    EXPECT_EQ(std::string(several.Kind, 3), "TAG");
    EXPECT_EQ(several.Title[0], 0);
    EXPECT_EQ(several.Genre.length, 0);
}

class TagCommandTest : public MainWindowTest {
protected:
    std::unique_ptr<TBase_main_window> open(const std::vector<dbtest::TrackFields>& tracks)
    {
        auto w = std::make_unique<TBase_main_window>(std::vector<std::string>{makeBaseOf("b.dfs", tracks)});
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
    // Works the dialog while it is shown: fn edits it, then OK (or nothing, to cancel).
    void answerDialog(TBase_main_window& w, std::function<void(TTagEdit&)> fn, bool ok = true)
    {
        w.runDialog = [fn, ok](QDialog& dialog) {
            auto& d = dynamic_cast<TTagEdit&>(dialog);
            d.show();
            fn(d);
            if (ok)
                d.Button1->click();
            else
                d.close();
            return d.result();
        };
    }
};

TEST_F(TagCommandTest, ThreeFilesGetTheSameEditAndEachRecordWhatItsFileHolds)
{
    dbtest::writeTaggedFile(path("a.mp3"), "Alpha", "Artist A", 12);
    dbtest::writeTaggedFile(path("b.mp3"), "Beta", "Artist B", 12);
    dbtest::writeUntaggedFile(path("c.mp3"));
    auto w = open({{.title = "Alpha", .artist = "Artist A", .fileName = path("a.mp3"), .duration = 5000},
                   {.title = "Beta", .artist = "Artist B", .fileName = path("b.mp3")},
                   {.title = "", .fileName = path("c.mp3")}});
    selectRows(*w, {0, 1, 2});
    bool sawEmpty = false;
    answerDialog(*w, [&](TTagEdit& d) {
        sawEmpty = d.title->text().isEmpty() && d.FileName.empty() && d.Label8->toolTip().isEmpty();
        d.album->setText(QString::fromUtf8("Общий альбом"));
        d.ComboBox1->setCurrentIndex(19);  // "Techno", genre 18
    });
    w->id3v11Click();
    EXPECT_TRUE(sawEmpty);
    EXPECT_TRUE(w->Modified);
    const auto& rows = w->Base.List2;
    EXPECT_EQ(columnText(*rows[0], 1), "Alpha");  // title kept: the field was left empty
    EXPECT_EQ(columnText(*rows[1], 1), "Beta");
    for (const TTrackRecord* r : rows) {
        EXPECT_EQ(columnText(*r, 2), QString::fromUtf8("Общий альбом"));
        EXPECT_EQ(columnText(*r, 4), "Techno");
        EXPECT_EQ(r->Album.length, 30);
    }
    EXPECT_EQ(rows[0]->Duration, 5000);  // what is not a tag field stays
    EXPECT_EQ(rows[0]->FileName.str(), path("a.mp3"));
    media::TTagRecord fromFile;
    ASSERT_TRUE(media::ReadTagRecord(path("c.mp3"), fromFile));  // the untagged file got a new tag
    EXPECT_EQ(platform::cp1251ToUtf8(std::string(fromFile.Album, std::strlen(fromFile.Album))), "Общий альбом");
    EXPECT_TRUE(boxes().empty());

    // Cancel changes nothing.
    w->Modified = false;
    answerDialog(*w, [](TTagEdit& d) { d.album->setText("Other"); }, false);
    w->id3v11Click();
    EXPECT_FALSE(w->Modified);
    EXPECT_EQ(columnText(*rows[0], 2), QString::fromUtf8("Общий альбом"));
    w->Modified = false;
    w->close();
}

TEST_F(TagCommandTest, OneRowShowsItsTagAndAFailedReadBackKeepsTheRecordAndIsReported)
{
    dbtest::writeTaggedFile(path("a.mp3"), "Alpha", "Artist A", 17);
    auto w = open({{.title = "Alpha", .artist = "Artist A", .genre = "Rock", .fileName = path("a.mp3")},
                   {.title = "Lost", .artist = "Gone", .fileName = path("gone.mp3")}});
    selectRows(*w, {0});
    answerDialog(*w, [&](TTagEdit& d) {
        EXPECT_EQ(d.title->text(), "Alpha");
        EXPECT_EQ(d.ComboBox1->currentText(), "Rock");
        EXPECT_EQ(d.FileName, path("a.mp3"));
        d.title->setText("Alpha 2");
    });
    w->id3v11Click();
    EXPECT_EQ(columnText(*w->Base.List2[0], 1), "Alpha 2");

    selectRows(*w, {1});
    answerDialog(*w, [](TTagEdit& d) { d.title->setText("New"); });
    w->id3v11Click();
    EXPECT_EQ(columnText(*w->Base.List2[1], 1), "Lost");  // not blanked
    EXPECT_EQ(columnText(*w->Base.List2[1], 0), "Gone");
    const auto shown = boxes();
    ASSERT_EQ(shown.size(), 2u);  // the tag writer's box, then the error report
    EXPECT_EQ(shown[0].caption, "Base tag editor");
    EXPECT_EQ(shown[1].caption, "Error");
    EXPECT_NE(shown[1].text.find("Function: id3v11Click"), std::string::npos);
    EXPECT_NE(dbtest::readAll(errorLogPath()).find(path("gone.mp3")), std::string::npos);
    w->Modified = false;
    w->close();
}

}  // namespace
