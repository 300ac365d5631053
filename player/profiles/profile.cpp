// TForm1's profiles: loading and saving the whole working state through the features' hooks, and
// the main window's own share of a profile (closing rule, monitor type, window size, item-class
// keywords, database file).
#include "player/form1.h"

#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "player/meters/meteroptions.h"
#include "player/profiles/profilehooks.h"
#include "player/profiles/profilelayout.h"
#include "player/reporterror.h"
#include "player/sequencing/sequencingplayback.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>

#include <algorithm>
#include <filesystem>

namespace player {
namespace {

std::string withExtension(const std::string& path, const char* ext)
{
    return std::filesystem::path(path).replace_extension(ext).string();
}

}  // namespace

void TForm1::LoadProfile(const std::string& path)
{
    const QFileInfo info(QString::fromStdString(path));
    if (info.exists())
        CurrentProfile = path;
    else if (CurrentProfile.empty())
        CurrentProfile = path;
    const platform::IniFile ini(path);
    const ProfileLoad how{path, setsMasterVolume(path)};
    for (const ProfileHook& hook : profileHooks())
        (this->*hook.load)(ini, how);
    LoadPlaylist(QString::fromStdString(withExtension(path, ".m3u")));
    LoadHistory(QString::fromStdString(withExtension(CurrentProfile, ".hst")));
    StartSearchServer();
}

void TForm1::SaveProfile(const std::string& path)
{
    CurrentProfile = path;
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    {
        // The hooks write into memory; the file then gets the values in the profile's own order.
        platform::IniFile staged(std::string(), platform::IniFile::Mode::Buffered);
        for (const ProfileHook& hook : profileHooks())
            (this->*hook.save)(staged);
        platform::IniFile ini(path, platform::IniFile::Mode::Buffered);
        writeInLayoutOrder(staged, ini);
        if (!ini.flush())
            ReportAudioError(-1, path, "TIniFile.Create (write failed)");
    }
    SavePlaylist(QString::fromStdString(withExtension(path, ".m3u")));
    SaveHistory(QString::fromStdString(withExtension(CurrentProfile, ".hst")));
}

void TForm1::LoadWindowProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    CloseAllowed = ini.readInteger("Options", "Close", 1) != 0;
    MonType = ini.readInteger("Options", "MonType", 0);
    const int w = ini.readInteger("Options", "FormWidth", width());
    const int hgt = ini.readInteger("Options", "FormHeight", height());
    if (w < 0) {
        showMaximized();
    } else if (w > 0 && hgt > 0) {
        resize(w, hgt);
        if (const QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            move(std::max(area.x(), area.x() + (area.width() - w) / 2),
                 std::max(area.y(), area.y() + (area.height() - hgt) / 2));
        }
    }
    const std::string advertId = ini.readString("Options", "ID_A", "commercial");
    const std::string jingleId = ini.readString("Options", "ID_J", "jingle");
    for (controls::TVqListView* list : {LVMaster, LVSlave}) {
        list->AdvertKeyword = QString::fromStdString(advertId).toLower();
        list->JingleKeyword = QString::fromStdString(jingleId).toLower();
    }
    if (Sequencer) {
        Sequencer->classNames().advertId = advertId;
        Sequencer->classNames().jingleId = jingleId;
    }
    // A relative or "\"-separated name is taken under the program folder, as the defaults are.
    DefBase = platform::programPath(ini.readString("Options", "DefBase", "Database\\Base.dfs"));
}

void TForm1::SaveWindowProfile(platform::IniFile& ini)
{
    ini.writeInteger("Options", "Close", CloseAllowed ? 1 : 0);
    ini.writeInteger("Options", "MonType", MonType);
    ini.writeString("Options", "ID_A", LVMaster->AdvertKeyword.toStdString());
    ini.writeString("Options", "ID_J", LVMaster->JingleKeyword.toStdString());
    ini.writeInteger("Options", "FormWidth", isMaximized() ? -width() : width());
    ini.writeInteger("Options", "FormHeight", height());
}

}  // namespace player
