// Icons and display names of files, folders, drives and the three special folders, from the icon
// theme and the MIME database, with Qt's standard icons where the theme has none.
#pragma once

#include <QIcon>

#include <string>
#include <string_view>

namespace platform {

// One list for the whole process, keyed by freedesktop icon names; entries are only ever
// appended, so an index once handed out stays valid. Index 0 is the generic file icon.
class ShellIcons {
public:
    static int indexOf(const std::string& iconName);  // appends a new name
    static QIcon icon(int index);                      // null for an index out of range
    static std::string nameAt(int index);
    static int count();
};

// Icon index of a path: a drive root by its drive type, a folder (open or closed), a file by its
// MIME type. Never fails: the generic file icon (0) at worst.
int systemIconIndex(const std::string& path, bool open);

// Description of the type of files with this extension (".mp3"), or "inode/directory" for
// "Directory"; empty when the MIME database has no description for it.
std::string mimeTypeName(std::string_view extension);

// Special folders, by the programs' own ids.
enum : int { kFolderDesktop = 0, kFolderComputer = 17, kFolderNetwork = 18 };
std::string specialFolderName(int id);  // empty for an unknown id
int specialFolderIcon(int id);          // 0 for an unknown id

// A volume's display name for its root, the last component for any other path.
std::string shellDisplayName(const std::string& path);

}  // namespace platform
