// The tag page driven as the operator does: select a row, edit the fields, Save or Enter; the
// files afterwards are compared byte for byte with what they must hold.
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "media/oggvorbis.h"
#include "media/tag.h"
#include "player/form1.h"
#include "player/tagpage/tagwriter.h"
#include "tests/media/mediafixtures.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace player;
using mediatest::id3v1Tag;
using mediatest::mpegFrames;
using mediatest::oggVorbisFile;

namespace {

// 128 kbit/s, 44100 Hz, joint stereo.
const std::string kAudio = mpegFrames(12, 0x90, 0x40);

class TagPage : public playertest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        audiolib::initDevice(audiolib::kDeviceNoSound, 44100, 0, 0);
        makeForm();
        form->FillGenreBox();
        form->PageControl1->setCurrentWidget(form->TabSheet3);
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        audiolib::freeDevice();
    }
    // A row for the file, selected (which fills the page).
    std::string show(const std::string& name, const std::string& bytes)
    {
        const std::string path = programDir.write(name, bytes);
        form->AddFile(QString::fromStdString(path));
        form->RenumberList();
        form->LVMaster->selectRows({form->LVMaster->rowCount() - 1});
        return path;
    }
    void save()
    {
        ASSERT_TRUE(form->btSaveTag->isEnabled());
        form->btSaveTag->click();
    }
    std::string read(const std::string& path) const { return programDir.read(path); }
    QString rowName(int row) const { return form->LVMaster->Rows[static_cast<std::size_t>(row)].SubItems[1]; }
};

TEST_F(TagPage, AnMp3WithoutTagGetsOneWithWhatWasTyped)
{
    const std::string path = show("no tag.mp3", kAudio);
    EXPECT_EQ(form->title->text(), "");
    EXPECT_TRUE(form->cbTag->isChecked());
    EXPECT_EQ(form->mpinfo->text(), "Joint Stereo   128kbit   44100Hz");
    EXPECT_EQ(form->TagFileType, kTagMp3);
    EXPECT_EQ(form->lbTagFileName->toolTip().toStdString(), path);
    EXPECT_EQ(rowName(0), "no tag");

    form->title->setText(QStringLiteral("Песня"));
    form->artist->setText("Band");
    form->ComboBox1->setEditText("jazz");
    save();
    EXPECT_EQ(read(path), kAudio + id3v1Tag("\xCF\xE5\xF1\xED\xFF", "Band", "", "", "", -1, 8));
    // The row follows the new tag, and the page shows what the file holds now.
    EXPECT_EQ(rowName(0), QStringLiteral("Band - Песня"));
    EXPECT_EQ(form->ComboBox1->currentText(), "Jazz");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(TagPage, OnlyTheChangedFieldIsWrittenTheRestStaysByteForByte)
{
    // A title with blanks and bytes after its zero, a genre byte beyond the table, a track number.
    std::string tag = id3v1Tag("", "Old", "Album", "1999", "note", 7, 200);
    const std::string rawTitle = std::string("  Song\0xyz", 10);
    tag.replace(3, rawTitle.size(), rawTitle);
    const std::string path = show("tagged.mp3", kAudio + tag);
    EXPECT_EQ(form->title->text(), "Song");
    EXPECT_EQ(form->ComboBox1->currentText(), "");

    form->artist->setText("New");
    save();
    std::string expected = kAudio + tag;
    expected.replace(kAudio.size() + 33, 30, std::string("New") + std::string(27, '\0'));
    EXPECT_EQ(read(path), expected);

    // Emptying a field clears it in the file; Enter in any field saves as the button does.
    form->album->clear();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form->year, &enter);
    expected.replace(kAudio.size() + 63, 30, std::string(" ") + std::string(29, '\0'));
    EXPECT_EQ(read(path), expected);

    // Unticked, Save removes the tag.
    form->cbTag->setChecked(false);
    save();
    EXPECT_EQ(read(path), kAudio);
}

TEST_F(TagPage, GenreComesFromTheBoxTextWithoutRegardToCase)
{
    const std::string path = show("g.mp3", kAudio + id3v1Tag("T", "A", "", "", "", -1, 17));
    EXPECT_EQ(form->ComboBox1->currentText(), "Rock");
    const auto genreByte = [&] { return static_cast<unsigned char>(read(path).back()); };
    for (const auto& [text, byte] : std::vector<std::pair<QString, int>>{
             {"CLASSIC rock", 1}, {"<none>", 255}, {"Nothing like it", 255}, {"jazz", 8}, {"", 255}}) {
        form->ComboBox1->setEditText(text);
        save();
        EXPECT_EQ(genreByte(), byte) << text.toStdString();
    }
    // Picking "<none>" from the list is no genre too.
    form->ComboBox1->setEditText("Rock");
    save();
    form->ComboBox1->setCurrentIndex(0);
    save();
    EXPECT_EQ(genreByte(), 255);
}

TEST_F(TagPage, WavFilesTakeAnId3v1TagAtTheirEnd)
{
    const std::string wav = mediatest::wavFile(2, 44100, 16, 4410 * 4);
    const std::string path = show("w.wav", wav);
    EXPECT_EQ(form->mpinfo->text(), "Stereo   44100Hz   176400 BytesPerSec");
    form->comm->setText("live");
    form->year->setText("2024");
    save();
    EXPECT_EQ(read(path), wav + id3v1Tag("", "", "", "2024", "live", -1, 255));
    // Without artist and title the row shows the file's base name.
    EXPECT_EQ(rowName(0), "w");
}

TEST_F(TagPage, OggSaveTouchesOnlyWhatWasChangedInTheFileBeingSaved)
{
    const std::string longTitle = std::string(60, 'T');
    const std::vector<std::string> comments = {"TITLE=" + longTitle, "ARTIST=Группа 日本", "COMMENT=first",
                                               "GENRE=Rock", "ALBUM=Kept"};
    const std::string path = show("y.ogg", oggVorbisFile(comments));
    EXPECT_EQ(form->title->text().toStdString(), std::string(30, 'T'));
    EXPECT_EQ(form->mpinfo->text(), "Stereo   3kbit   44100Hz");  // the average rate of a tiny file
    // Another Ogg file read after the page was filled (a row added) leaves its values in the
    // shared reader; the save must not write them into this file.
    const std::string other = programDir.write("x.ogg", oggVorbisFile({"TITLE=Other", "ARTIST=Other artist",
                                                                        "COMMENT=other", "GENRE=Pop"}));
    form->AddFile(QString::fromStdString(other));

    form->ComboBox1->setEditText("Jazz");
    save();
    EXPECT_EQ(read(path), oggVorbisFile({"TITLE=" + longTitle, "ARTIST=Группа 日本", "COMMENT=first", "GENRE=Jazz",
                                         "ALBUM=Kept"}));

    form->title->setText("Short");
    form->comm->clear();
    save();
    media::TOggVorbis again;
    ASSERT_TRUE(again.ReadInfo(path));
    EXPECT_EQ(again.Title, "Short");
    EXPECT_EQ(again.Artist, "Группа 日本");
    EXPECT_EQ(again.Comment, "");
    EXPECT_EQ(again.Genre, "Jazz");
    EXPECT_EQ(again.Album, "Kept");
    EXPECT_EQ(rowName(0), QStringLiteral("Группа ?? - Short"));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(TagPage, AnOggFileThatCannotBeRewrittenSaysSo)
{
    // The comment packet continues on a third page: the rewrite refuses rather than guess.
    const std::string comment = mediatest::vorbisComment("v", {"TITLE=" + std::string(300, 'x')});
    const std::string bytes = mediatest::oggPage(0x02, 0, 0, {mediatest::vorbisIdentification(2, 44100, 128000)}) +
                              mediatest::oggPage(0x00, 0, 1, {comment.substr(0, 255)}, true) +
                              mediatest::oggPage(0x01, 0, 2, {comment.substr(255)}) +
                              mediatest::oggPage(0x04, 44100, 3, {std::string(500, 'A')});
    const std::string path = show("split.ogg", bytes);
    form->title->setText("new");
    save();
    EXPECT_EQ(read(path), bytes);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].caption, std::string(media::kTagEditorCaption));
}

TEST_F(TagPage, TypesWithoutAWriterCannotBeSaved)
{
    show("a.mp3", kAudio);
    EXPECT_TRUE(form->btSaveTag->isEnabled());
    const auto wma = mediatest::asfHeader({mediatest::asfFileProperties(128000)});
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"b.wma", wma}, {"c.flac", "fLaC"}, {"Track01.cda", "cd"}, {"line.in", ""}}) {
        show(name, bytes);
        EXPECT_FALSE(form->btSaveTag->isEnabled()) << name;
        EXPECT_NE(form->TagFileType, kTagMp3) << name;
        form->btSaveTag->click();
        EXPECT_EQ(read(programDir.path() + "/" + name), bytes) << name;
    }
    EXPECT_EQ(form->TagFileType, kTagNone);
}

TEST_F(TagPage, FollowsTheSelectionOnlyWhileShown)
{
    const std::string path = show("one.mp3", kAudio + id3v1Tag("First", "", "", "", "", -1, 255));
    show("two.mp3", kAudio + id3v1Tag("Second", "", "", "", "", -1, 255));
    EXPECT_EQ(form->title->text(), "Second");
    form->LVMaster->selectRows({0});
    EXPECT_EQ(form->title->text(), "First");
    EXPECT_EQ(form->TagFileName.toStdString(), path);

    form->PageControl1->setCurrentWidget(form->TabSheet1);
    form->LVMaster->selectRows({1});
    EXPECT_EQ(form->title->text(), "First");
    form->PageControl1->setCurrentWidget(form->TabSheet3);
    EXPECT_EQ(form->title->text(), "Second");

    // Nothing selected: an empty page that saves nothing.
    form->LVMaster->selectRows({});
    EXPECT_EQ(form->title->text(), "");
    EXPECT_EQ(form->TagFileName, "");
    EXPECT_EQ(form->lbTagFileName->text(), "");
    EXPECT_EQ(form->mpinfo->text(), "");
    EXPECT_FALSE(form->btSaveTag->isEnabled());

    // A deleted row refreshes the page too; a file gone from the disk shows empty fields.
    form->LVMaster->selectRows({1});
    std::filesystem::remove(programDir.path() + "/two.mp3");
    form->RefreshTagPage();
    EXPECT_EQ(form->title->text(), "");
    EXPECT_EQ(form->mpinfo->text(), "");
    form->aEditDelExecute();
    EXPECT_EQ(form->title->text(), "");
    form->LVMaster->selectRows({0});
    EXPECT_EQ(form->title->text(), "First");
}

TEST_F(TagPage, TheLongNameIsShortenedToTheLabel)
{
    const std::string folder = "a very long folder name/another long folder name/and one more";
    std::filesystem::create_directories(programDir.path() + "/" + folder);
    const std::string path = show(folder + "/track.mp3", kAudio);
    form->lbTagFileName->resize(160, 20);
    form->ShowTagInfo();
    const QString text = form->lbTagFileName->text();
    EXPECT_TRUE(text.endsWith("/track.mp3")) << text.toStdString();
    EXPECT_TRUE(text.contains("...")) << text.toStdString();
    EXPECT_LE(form->lbTagFileName->fontMetrics().horizontalAdvance(text), 159);
    EXPECT_EQ(form->lbTagFileName->toolTip().toStdString(), path);
}

TEST(TagWriter, GenreNumbersAndFileTypes)
{
    EXPECT_EQ(GenreNumberOf("Blues"), 0);
    EXPECT_EQ(GenreNumberOf(" hip-HOP "), 7);
    EXPECT_EQ(GenreNumberOf("<none>"), 255);
    EXPECT_EQ(GenreNumberOf(""), 255);
    EXPECT_EQ(GenreNumberOf(".mp3"), 255);  // the extensions after the names are no genres
    EXPECT_EQ(TagFileTypeOf("/m/A.MP3"), kTagMp3);
    EXPECT_EQ(TagFileTypeOf("/m/a.Ogg"), kTagOgg);
    EXPECT_EQ(TagFileTypeOf("/m/line.in"), kTagNone);
    EXPECT_EQ(TagFileTypeOf("/m/noext"), kTagNone);
    // An untouched genre of a tagged file keeps the file's byte; of an untagged file it is none.
    TagPageEdits edits;
    edits.genre = {"Rock", "Rock"};
    edits.fileHadTag = true;
    EXPECT_EQ(GenreForSave(edits), kKeepGenre);
    edits.fileHadTag = false;
    EXPECT_EQ(GenreForSave(edits), 17);
}

class TagPageOnAir : public playertest::ManualClockWindowTest {};

TEST_F(TagPageOnAir, TheGenreBoxIsFilledAtTheFirstTick)
{
    EXPECT_EQ(form->ComboBox1->count(), 0);
    form->maintimerTimer();
    ASSERT_EQ(form->ComboBox1->count(), 1 + media::kGenreCount);
    EXPECT_EQ(form->ComboBox1->itemText(0), "<none>");
    EXPECT_EQ(form->ComboBox1->itemText(1), "Blues");
    const std::string_view last = media::GenreName(media::kGenreCount - 1);
    EXPECT_EQ(form->ComboBox1->itemText(media::kGenreCount), QString::fromLatin1(last.data(), static_cast<qsizetype>(last.size())));
}

}  // namespace
