// Reading and writing the notes files.
#include "player/notes/notesfiles.h"

#include "platform/cp1251.h"
#include "platform/direntries.h"
#include "platform/regularfile.h"
#include "platform/savefile.h"
#include "player/language/playertexts.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace player {

std::optional<QString> ReadNotesFile(const std::string& path)
{
    std::string bytes;
    if (platform::readRegularFile(path, platform::kMaxSettingsFileBytes, bytes) != platform::FileRead::Ok)
        return std::nullopt;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    QString text = QString::fromStdString(platform::decodeText(bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QByteArray NotesFileBytes(const QString& text)
{
    QByteArray bytes;
    for (const QString& line : text.split(QLatin1Char('\n')))
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

bool WriteNotesFile(const std::string& path, const QString& text, std::string* error)
{
    const QString folder = QFileInfo(QString::fromStdString(path)).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error != nullptr)
            *error = LanguageTexts().Text(PlayerText::FolderNotCreated, {folder.toStdString()});
        return false;
    }
    // Whole or not at all: on a full disk the notes written before stay.
    const QByteArray bytes = NotesFileBytes(text);
    return platform::saveFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), error);
}

bool AdoptOldNotesFile(const std::string& oldPath, const std::string& path)
{
    if (oldPath.empty() || oldPath == path)
        return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 || ::lstat(oldPath.c_str(), &st) != 0)
        return false;
    // Never over a notes file that appeared meanwhile.
    return platform::renameNoReplace(oldPath, path);
}

}  // namespace player
