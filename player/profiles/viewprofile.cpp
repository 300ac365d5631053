// The profile's share of what the window shows: the folder tree's folder, the playlists' font and
// their column widths.
#include "player/form1.h"

#include "controls/zrfoldertreeview.h"
#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "player/profiles/profilehooks.h"
#include "player/profiles/profilevalues.h"

#include <QHeaderView>

#include <algorithm>
#include <array>
#include <filesystem>

namespace player {
namespace {

// The drive root stands where a folder is missing: the tree always shows some place.
constexpr const char* kTreeRoot = "/";

bool isFolder(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

void setColumnWidths(controls::TVqListView* list, const ColumnWidths& widths)
{
    QHeaderView* header = list->header();
    const int n = std::min<int>(header->count(), static_cast<int>(widths.size()));
    for (int c = 0; c < n; ++c)
        header->resizeSection(c, std::clamp(widths[static_cast<std::size_t>(c)], 0, kMaxColumnWidth));
}

ColumnWidths columnWidthsOf(const controls::TVqListView* list)
{
    ColumnWidths widths{};
    const QHeaderView* header = list->header();
    const int n = std::min<int>(header->count(), static_cast<int>(widths.size()));
    for (int c = 0; c < n; ++c)
        widths[static_cast<std::size_t>(c)] = header->sectionSize(c);
    return widths;
}

}  // namespace

void TForm1::LoadExplorerProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    // Without a Path the tree stays where it is (the root when it shows nothing yet).
    if (!ini.valueExists("Explorer", "Path")) {
        if (SHView->Directory().empty())
            SHView->SetDirectory(kTreeRoot);
        return;
    }
    const std::string stored = ini.readString("Explorer", "Path", "");
    const std::string folder = stored.empty() ? std::string() : platform::programPath(stored);
    SHView->SetDirectory(isFolder(folder) ? folder : kTreeRoot);
}

void TForm1::SaveExplorerProfile(platform::IniFile& ini)
{
    std::string folder = SHView->Directory();
    if (!folder.empty() && !isFolder(folder))
        folder = std::filesystem::path(folder).parent_path().string();  // the tree points at a file
    ini.writeString("Explorer", "Path", folder);
}

void TForm1::LoadFontProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    ProfileFont font = profileFontOf(LVMaster->font(), LVMaster->palette().color(QPalette::Text));
    readProfileFont(ini, "Font", font);
    const QFont chosen = applyProfileFont(LVMaster->font(), font);
    for (controls::TVqListView* list : {LVMaster, LVSlave}) {
        list->setFont(chosen);
        QPalette palette = list->palette();
        palette.setColor(QPalette::Text, font.color);
        list->setPalette(palette);
    }
}

void TForm1::SaveFontProfile(platform::IniFile& ini)
{
    writeProfileFont(ini, "Font", profileFontOf(CurrentList->font(), CurrentList->palette().color(QPalette::Text)));
}

void TForm1::LoadColumnsProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    // Without Master both lists keep their widths; Slave goes over Master's values, so a profile
    // without it gives the Temp list the Main list's widths.
    if (!ini.valueExists("Columns", "Master"))
        return;
    ColumnWidths widths{};
    readColumnWidths(ini, "Master", widths);
    setColumnWidths(LVMaster, widths);
    readColumnWidths(ini, "Slave", widths);
    setColumnWidths(LVSlave, widths);
}

void TForm1::SaveColumnsProfile(platform::IniFile& ini)
{
    writeColumnWidths(ini, "Master", columnWidthsOf(LVMaster));
    writeColumnWidths(ini, "Slave", columnWidthsOf(LVSlave));
}

}  // namespace player
