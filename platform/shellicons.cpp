// The process-wide icon list and the name and type lookups behind it.
#include "platform/shellicons.h"

#include "platform/volumes.h"

#include <QApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStyle>

#include <mutex>
#include <vector>

namespace platform {

namespace {

struct IconList {
    std::mutex mutex;
    std::vector<std::string> names{"text-x-generic"};
    std::vector<QIcon> icons{QIcon()};
    std::vector<bool> loaded{false};
};

IconList& iconList()
{
    static IconList list;
    return list;
}

QStyle::StandardPixmap fallbackFor(const std::string& name)
{
    struct Pair {
        const char* name;
        QStyle::StandardPixmap pixmap;
    };
    static const Pair kPairs[] = {
        {"folder", QStyle::SP_DirClosedIcon},
        {"folder-open", QStyle::SP_DirOpenIcon},
        {"drive-harddisk", QStyle::SP_DriveHDIcon},
        {"drive-removable-media", QStyle::SP_DriveFDIcon},
        {"media-floppy", QStyle::SP_DriveFDIcon},
        {"drive-optical", QStyle::SP_DriveCDIcon},
        {"media-optical-audio", QStyle::SP_DriveCDIcon},
        {"folder-remote", QStyle::SP_DriveNetIcon},
        {"network-workgroup", QStyle::SP_DriveNetIcon},
        {"network-server", QStyle::SP_DriveNetIcon},
        {"network-offline", QStyle::SP_DriveNetIcon},
        {"computer", QStyle::SP_ComputerIcon},
        {"user-desktop", QStyle::SP_DesktopIcon},
        {"audio-x-generic", QStyle::SP_MediaVolume},
    };
    for (const auto& pair : kPairs)
        if (name == pair.name)
            return pair.pixmap;
    if (name.rfind("audio-", 0) == 0)
        return QStyle::SP_MediaVolume;
    return QStyle::SP_FileIcon;
}

std::string driveIconName(int driveType)
{
    switch (driveType) {
    case kDriveRemovable: return "drive-removable-media";
    case kDriveRemote: return "folder-remote";
    case kDriveCdrom: return "drive-optical";
    default: return "drive-harddisk";
    }
}

bool findVolume(const std::string& root, Volume& found)
{
    for (const auto& v : volumeSource().volumes())
        if (v.root == root) {
            found = v;
            return true;
        }
    return false;
}

}  // namespace

int ShellIcons::indexOf(const std::string& iconName)
{
    auto& list = iconList();
    std::lock_guard lock(list.mutex);
    for (std::size_t i = 0; i < list.names.size(); ++i)
        if (list.names[i] == iconName)
            return static_cast<int>(i);
    list.names.push_back(iconName);
    list.icons.emplace_back();
    list.loaded.push_back(false);
    return static_cast<int>(list.names.size() - 1);
}

QIcon ShellIcons::icon(int index)
{
    auto& list = iconList();
    std::lock_guard lock(list.mutex);
    if (index < 0 || static_cast<std::size_t>(index) >= list.names.size())
        return {};
    if (!list.loaded[index]) {
        const auto& name = list.names[index];
        QIcon icon = QIcon::fromTheme(QString::fromStdString(name));
        if (icon.isNull() && qobject_cast<QApplication*>(QCoreApplication::instance()))
            icon = QApplication::style()->standardIcon(fallbackFor(name));
        list.icons[index] = icon;
        list.loaded[index] = true;
    }
    return list.icons[index];
}

std::string ShellIcons::nameAt(int index)
{
    auto& list = iconList();
    std::lock_guard lock(list.mutex);
    if (index < 0 || static_cast<std::size_t>(index) >= list.names.size())
        return {};
    return list.names[index];
}

int ShellIcons::count()
{
    auto& list = iconList();
    std::lock_guard lock(list.mutex);
    return static_cast<int>(list.names.size());
}

int systemIconIndex(const std::string& path, bool open)
{
    if (path.empty())
        return 0;
    Volume volume;
    if (path.back() == '/' && findVolume(path, volume))
        return ShellIcons::indexOf(driveIconName(volume.driveType));
    const QString qpath = QString::fromStdString(path);
    const QFileInfo info(qpath);
    if (path.back() == '/' || info.isDir())
        return ShellIcons::indexOf(open ? "folder-open" : "folder");
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(qpath, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return 0;
    QString name = type.iconName();
    if (!QIcon::hasThemeIcon(name) && !type.genericIconName().isEmpty())
        name = type.genericIconName();
    return ShellIcons::indexOf(name.toStdString());
}

std::string mimeTypeName(std::string_view extension)
{
    static const QMimeDatabase db;
    QMimeType type;
    if (extension == "Directory")
        type = db.mimeTypeForName(QStringLiteral("inode/directory"));
    else if (!extension.empty())
        type = db.mimeTypeForFile(QStringLiteral("x") + QString::fromUtf8(extension.data(), extension.size()),
                                  QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return {};
    return type.comment().toStdString();
}

std::string specialFolderName(int id)
{
    switch (id) {
    case kFolderDesktop: return "Рабочий стол";
    case kFolderComputer: return "Мой компьютер";
    case kFolderNetwork: return "Сеть";
    default: return {};
    }
}

int specialFolderIcon(int id)
{
    switch (id) {
    case kFolderDesktop: return ShellIcons::indexOf("user-desktop");
    case kFolderComputer: return ShellIcons::indexOf("computer");
    case kFolderNetwork: return ShellIcons::indexOf("network-workgroup");
    default: return 0;
    }
}

std::string shellDisplayName(const std::string& path)
{
    Volume volume;
    if (!path.empty() && path.back() == '/' && findVolume(path, volume))
        return volume.displayName;
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const auto slash = trimmed.rfind('/');
    return slash == std::string::npos || trimmed == "/" ? trimmed : trimmed.substr(slash + 1);
}

}  // namespace platform
