// TForm1's profiles: loading and saving the whole working state through the features' hooks.
#include "player/form1.h"

#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "player/meters/meteroptions.h"
#include "player/profiles/profilehooks.h"
#include "player/profiles/profilelayout.h"
#include "player/reporterror.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>

namespace player {
namespace {

std::string withExtension(const std::string& path, const char* ext)
{
    return std::filesystem::path(path).replace_extension(ext).string();
}

// The recent-playlists file of the profile: beside it, or in the program folder while the
// profile is still "noname".
QString historyFile(const std::string& profile)
{
    return QString::fromStdString(withExtension(platform::programPath(profile), ".hst"));
}

}  // namespace

void TForm1::LoadProfile(const std::string& path)
{
    // A missing file reads as empty: every key takes its default, and the profile stays the one
    // loaded before.
    if (QFileInfo::exists(QString::fromStdString(path)))
        CurrentProfile = path;
    {
        const platform::IniFile ini(path);
        if (!ini.readError().empty())
            ReportUnreadFile(PlayerText::FileUnread, QString::fromStdString(path), ini.readError());
        const ProfileLoad how{path, setsMasterVolume(path)};
        for (const ProfileHook& hook : profileHooks())
            (this->*hook.load)(ini, how);
    }
    // The lists come before the search server: its start may fail or wait for the database
    // program, and neither may cost the operator the profile's playlist.
    const QString playlist = QString::fromStdString(withExtension(path, ".m3u"));
    std::string why;
    if (!LoadPlaylist(playlist, &why) && QFileInfo::exists(playlist))
        ReportUnreadFile(PlayerText::PlaylistUnread, playlist, why);
    LoadHistory(historyFile(CurrentProfile));
    StartSearchServer();
}

void TForm1::SaveProfile(const std::string& path)
{
    CurrentProfile = path;
    {
        std::string failure;
        const QString folder = QFileInfo(QString::fromStdString(path)).absolutePath();
        if (!QDir().mkpath(folder))
            failure = Texts.Text(PlayerText::FolderNotCreated, {folder.toStdString()});
        // The hooks write into memory; the file then gets the values in the profile's own order
        // and is replaced in one step, so a failed save leaves the old file whole.
        platform::IniFile staged(std::string(), platform::IniFile::Mode::Buffered);
        for (const ProfileHook& hook : profileHooks())
            (this->*hook.save)(staged);
        platform::IniFile ini(path, platform::IniFile::Mode::Buffered);
        writeInLayoutOrder(staged, ini);
        if (failure.empty() && !ini.flush())
            failure = ini.lastError().empty() ? Texts.Text(PlayerText::WriteFailed) : ini.lastError();
        if (!failure.empty())
            ReportAudioError(-1, path, "TIniFile.Create (" + failure + ")");
    }
    // Whatever became of the profile, the menu, the playlist and the recent playlists follow.
    FillProfileMenu();
    SavePlaylist(QString::fromStdString(withExtension(path, ".m3u")));
    SaveHistory(historyFile(CurrentProfile));
}

}  // namespace player
