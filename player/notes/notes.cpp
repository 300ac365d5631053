// TForm1's side of the notes window: its creation and menu item, which notes file a track has,
// and the window's share of a profile (the flag and the memo's font).
#include "player/form1.h"

#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "platform/usermessagesqt.h"
#include "platform/pathtext.h"
#include "player/notes/notesfrm.h"
#include "player/playlist/playlistrows.h"
#include "player/profiles/profilehooks.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

#include <filesystem>

namespace player {

namespace {

constexpr const char* kNotesFont = "NotesFont";

// Style bits of a stored font.
constexpr int kBold = 2;
constexpr int kItalic = 4;
constexpr int kUnderline = 8;
constexpr int kStrikeOut = 16;

std::string notesFolder()
{
    return platform::programPath("Txt") + "/";
}

}  // namespace

void TForm1::buildNotesMenu()
{
    N49 = new QAction(QStringLiteral("Блокнот... (T)"), this);
    N49->setObjectName(QStringLiteral("N49"));
    mView->addAction(N49);
    connect(N49, &QAction::triggered, this, [this] { N49Click(); });
}

void TForm1::CreateNotesFrm()
{
    if (NotesFrm != nullptr)
        return;
    NotesFrm = new TNotesFrm(this);
    NotesFrm->OnNotesChanged = [this] { ShowComments(false); };
}

void TForm1::N49Click()
{
    if (NotesFrm == nullptr)
        return;
    if (NotesFrm->isVisible()) {
        NotesFrm->hide();
    } else {
        NotesFrm->show();
        NotesFrm->raise();
    }
}

std::string TForm1::TrackNotesFile(const QString& trackPath) const
{
    const std::string path = platform::pathBytes(trackPath);
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec))
        return {};
    return NotesFileName(notesFolder(), path);
}

void TForm1::LoadTrackNotes(const QString& trackPath)
{
    if (NotesFrm == nullptr)
        return;
    const std::string file = TrackNotesFile(trackPath);
    NotesFrm->LoadNotes(file, file.empty() ? std::string() : OldNotesFileName(notesFolder(), platform::pathBytes(trackPath)));
}

void TForm1::LoadNotesProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    CreateNotesFrm();
    QPlainTextEdit* memo = NotesFrm->Memo1;
    QFont font = memo->font();
    const std::string name = ini.readString(kNotesFont, "Name", font.family().toStdString());
    if (!name.empty())
        font.setFamily(QString::fromStdString(name));
    const std::int32_t size = ini.readInteger(kNotesFont, "Size", font.pointSize());
    if (size > 0 && size <= 500)
        font.setPointSize(size);
    // Set bits add their style; clear ones take none away.
    const std::int32_t style = ini.readInteger(kNotesFont, "Style", 0);
    if (style & kBold)
        font.setBold(true);
    if (style & kItalic)
        font.setItalic(true);
    if (style & kUnderline)
        font.setUnderline(true);
    if (style & kStrikeOut)
        font.setStrikeOut(true);
    memo->setFont(font);
    const auto color = static_cast<std::uint32_t>(ini.readInteger(
        kNotesFont, "Color", static_cast<std::int32_t>(platform::qtmessages::fromQColor(memo->palette().color(QPalette::Text)))));
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Text, platform::qtmessages::toQColor(color));
    memo->setPalette(palette);
    NotesFrm->SetNoAutoRead(ini.readBool("Options", "NotesReadTag", true));
}

void TForm1::SaveNotesProfile(platform::IniFile& ini)
{
    CreateNotesFrm();
    const QPlainTextEdit* memo = NotesFrm->Memo1;
    const QFont font = memo->font();
    ini.writeString(kNotesFont, "Name", font.family().toStdString());
    ini.writeInteger(kNotesFont, "Size", font.pointSize());
    ini.writeInteger(kNotesFont, "Color",
                     static_cast<std::int32_t>(platform::qtmessages::fromQColor(memo->palette().color(QPalette::Text))));
    ini.writeInteger(kNotesFont, "Style", (font.bold() ? kBold : 0) | (font.italic() ? kItalic : 0) |
                                              (font.underline() ? kUnderline : 0) |
                                              (font.strikeOut() ? kStrikeOut : 0));
    ini.writeBool("Options", "NotesReadTag", NotesFrm->NoAutoRead());
}

}  // namespace player
