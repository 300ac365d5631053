// TForm1's tag page: the tag and technical line of the selected row's file, the genre box, and
// saving the edited tag back into the file; and the lists' selection-change handler that keeps
// the page and the notes window on the selected row.
#include "player/form1.h"

#include "controls/zrpaths.h"
#include "media/tag.h"
#include "media/textutil.h"
#include "platform/cp1251.h"
#include "platform/pathtext.h"
#include "platform/usermessages.h"
#include "player/playlist/playlistrows.h"
#include "player/tagpage/tagwriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstring>
#include <filesystem>

namespace player {

namespace {

// Enter in one of the tag fields saves; the key goes no further.
class EnterSaves : public QObject {
public:
    explicit EnterSaves(TForm1& form) : QObject(&form), m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_form.artistKeyPress();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TForm1& m_form;
};

QString fieldText(const char* field, std::size_t size)
{
    return QString::fromStdString(platform::cp1251ToUtf8(TrimTagField(std::string_view(field, size))));
}

QLineEdit* tagEdit(QWidget* parent, const char* name, int maxLength)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    return edit;
}

}  // namespace

// What the page showed when it was filled, to tell the operator's changes from untouched fields.
struct TForm1::TagPageState {
    QString title, artist, album, year, comment, genre;
    bool hadTag = false;  // an ID3v1 tag was found
};

void TForm1::buildTagPage()
{
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    TagState = std::make_shared<TagPageState>();

    auto* grid = new QGridLayout(TabSheet3);
    auto* fileCaption = new QLabel(QStringLiteral("Файл:"), TabSheet3);
    fileCaption->setObjectName(QStringLiteral("lbTagFile"));
    grid->addWidget(fileCaption, 0, 0);
    lbTagFileName = new QLabel(QStringLiteral("---"), TabSheet3);
    lbTagFileName->setObjectName(QStringLiteral("lbTagFileName"));
    lbTagFileName->setMinimumWidth(40);
    lbTagFileName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(lbTagFileName, 0, 1);
    cbTag = new QCheckBox(QStringLiteral("Tag"), TabSheet3);
    cbTag->setObjectName(QStringLiteral("cbTag"));
    cbTag->setChecked(true);
    grid->addWidget(cbTag, 1, 1);

    title = tagEdit(TabSheet3, "title", 30);
    artist = tagEdit(TabSheet3, "artist", 30);
    album = tagEdit(TabSheet3, "album", 30);
    year = tagEdit(TabSheet3, "year", 4);
    comm = tagEdit(TabSheet3, "comm", 30);
    ComboBox1 = new QComboBox(TabSheet3);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    const std::pair<const char*, QWidget*> fields[] = {{"Title", title}, {"Artist", artist}, {"Album", album},
                                                       {"Year", year},   {"Comment", comm},  {"Genre", ComboBox1}};
    int line = 2;
    for (const auto& [caption, field] : fields) {
        auto* label = new QLabel(QString::fromLatin1(caption), TabSheet3);
        // "lbTitle" ... "lbGenre": the language file names the captions so.
        label->setObjectName(QStringLiteral("lb") + QString::fromLatin1(caption));
        grid->addWidget(label, line, 0);
        grid->addWidget(field, line++, 1);
    }
    auto* enter = new EnterSaves(*this);
    for (QObject* field : {static_cast<QObject*>(title), static_cast<QObject*>(artist), static_cast<QObject*>(album),
                           static_cast<QObject*>(year), static_cast<QObject*>(comm),
                           static_cast<QObject*>(ComboBox1), static_cast<QObject*>(ComboBox1->lineEdit())})
        field->installEventFilter(enter);

    btSaveTag = new QPushButton(QStringLiteral("Save"), TabSheet3);
    btSaveTag->setObjectName(QStringLiteral("btSaveTag"));
    btSaveTag->setEnabled(false);
    grid->addWidget(btSaveTag, line++, 1, Qt::AlignRight);
    auto* info = new QGroupBox(QStringLiteral(" File information  "), TabSheet3);
    info->setObjectName(QStringLiteral("GroupBox1"));
    auto* infoLayout = new QVBoxLayout(info);
    mpinfo = new QLabel(info);
    mpinfo->setObjectName(QStringLiteral("mpinfo"));
    infoLayout->addWidget(mpinfo);
    grid->addWidget(info, line++, 0, 1, 2);
    grid->setRowStretch(line, 1);
    PageControl1->addTab(TabSheet3, QStringLiteral("Tag"));

    connect(btSaveTag, &QPushButton::clicked, this, [this] { btSaveTagClick(); });
    for (controls::TVqListView* list : {LVMaster, LVSlave, rhelper})
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { LVMasterChange(); });
}

void TForm1::FillGenreBox()
{
    const QSignalBlocker quiet(ComboBox1);
    const QString text = ComboBox1->currentText();
    ComboBox1->clear();
    ComboBox1->addItem(QStringLiteral("<none>"));
    for (int i = 0; i < media::kGenreCount; ++i) {
        const std::string_view name = media::GenreName(i);
        ComboBox1->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    // The text shown before the list was there stays (the page may already show a file).
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(text);
}

void TForm1::RefreshTagPage()
{
    if (TabSheet3 != nullptr && PageControl1->currentWidget() == TabSheet3)
        ShowTagInfo();
}

void TForm1::ShowTagInfo()
{
    TagPageState& shown = *TagState;
    const int selected = CurrentList->firstSelectedRow();
    media::TTagRecord tag{};
    std::string info;
    if (selected < 0) {
        TagFileName.clear();
        TagFileType = kTagNone;
        lbTagFileName->clear();
        lbTagFileName->setToolTip(QString());
        shown = TagPageState{};
    } else {
        TagFileName = CurrentList->Rows[static_cast<std::size_t>(selected)].SubItems[kColPath];
        const std::string path = platform::pathBytes(TagFileName);
        const QFontMetrics metrics(lbTagFileName->font());
        const std::string onScreen = platform::decodeText(path);  // for the screen only
        lbTagFileName->setText(QString::fromStdString(controls::ShortenPath(
            onScreen, lbTagFileName->width() - 1,
            [&metrics](const std::string& s) { return metrics.horizontalAdvance(QString::fromStdString(s)); })));
        lbTagFileName->setToolTip(platform::pathForDisplay(TagFileName));
        TagFileType = TagFileTypeOf(path);
        if (!Readers)
            Readers = std::make_unique<TagReaders>();
        const bool found = ReadFileInfo(*Readers, path, tag, info);
        shown.title = fieldText(tag.Title, sizeof tag.Title);
        shown.artist = fieldText(tag.Artist, sizeof tag.Artist);
        shown.album = fieldText(tag.Album, sizeof tag.Album);
        shown.year = fieldText(tag.Year, sizeof tag.Year);
        shown.comment = fieldText(tag.Comment, sizeof tag.Comment);
        const std::string genre = tag.Genre.str();
        shown.genre = fieldText(genre.data(), genre.size());
        shown.hadTag = found && std::memcmp(tag.Kind, "TAG", 3) == 0;
    }
    title->setText(shown.title);
    artist->setText(shown.artist);
    album->setText(shown.album);
    year->setText(shown.year);
    comm->setText(shown.comment);
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(ComboBox1->findText(shown.genre, Qt::MatchFixedString));
        ComboBox1->setEditText(shown.genre);
    }
    cbTag->setChecked(true);
    mpinfo->setText(QString::fromStdString(info));
    btSaveTag->setEnabled(TagTypeWritable(TagFileType));
}

void TForm1::artistKeyPress()
{
    btSaveTag->click();
}

bool TForm1::WriteFileTag(const std::string& path, const media::TTagRecord& record, std::uint8_t genre)
{
    if (!Readers)
        Readers = std::make_unique<TagReaders>();
    return player::WriteFileTag(*Readers, TagFileType, path, record, genre);
}

void TForm1::btSaveTagClick()
{
    const std::string path = platform::pathBytes(TagFileName);
    if (path.empty() || !TagTypeWritable(TagFileType) ||
        media::asciiLower(std::filesystem::path(path).extension().string()) == ".m3u")
        return;
    const TagPageState& shown = *TagState;
    TagPageEdits edits;
    edits.tagWanted = cbTag->isChecked();
    edits.fileHadTag = shown.hadTag;
    edits.title = {title->text().toStdString(), shown.title.toStdString()};
    edits.artist = {artist->text().toStdString(), shown.artist.toStdString()};
    edits.album = {album->text().toStdString(), shown.album.toStdString()};
    edits.year = {year->text().toStdString(), shown.year.toStdString()};
    edits.comment = {comm->text().toStdString(), shown.comment.toStdString()};
    edits.genre = {ComboBox1->currentText().toStdString(), shown.genre.toStdString()};
    // "<none>" is the box's way of saying no genre.
    if (ComboBox1->currentText().trimmed().compare(QStringLiteral("<none>"), Qt::CaseInsensitive) == 0)
        edits.genre.text.clear();
    if (!WriteFileTag(path, TagRecordForSave(edits), GenreForSave(edits)))
        platform::messageBox("Ошибка: не удалось записать тег в файл!", std::string(media::kTagEditorCaption),
                             platform::MB_OK | platform::MB_ICONERROR);

    const int selected = CurrentList->firstSelectedRow();
    if (selected >= 0) {
        TVirtualItem& row = CurrentList->Rows[static_cast<std::size_t>(selected)];
        if (row.SubItems[kColPath] == TagFileName) {
            row.SubItems[kColMarker].clear();
            row.SubItems[kColName] = DisplayNameOf(TagFileName);
            const bool cd = media::asciiLower(std::filesystem::path(path).extension().string()) == ".cda";
            if (!cd || row.SubItems[kColDuration] == QStringLiteral("??:??"))
                row.SubItems[kColDuration] = QString::fromStdString(media::FormatTimeShort(media::GetFileDurationMs(path)));
        }
        CurrentList->viewport()->update();
    }
    // What the file holds now is what the next save compares against.
    ShowTagInfo();
}

void TForm1::LVMasterChange()
{
    RefreshTagPage();
    const int selected = LVMaster->firstSelectedRow();
    if (selected >= 0)
        LoadTrackNotes(LVMaster->Rows[static_cast<std::size_t>(selected)].SubItems[kColPath]);
}

}  // namespace player
