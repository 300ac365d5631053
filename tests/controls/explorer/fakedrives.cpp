// Builds the fake machine of the folder-tree tests.
#include "fakedrives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void put(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

}  // namespace

FakeDrives::FakeDrives(const std::string& extraMounts)
{
    const QString base = m_dir.path();
    m_driveRoot = (base + "/drive/").toStdString();
    m_stickRoot = (base + "/stick/").toStdString();
    QDir().mkpath(base + "/drive");
    QDir().mkpath(base + "/stick");
    put(base + "/sys/block/sda/removable", "0\n");
    QDir().mkpath(base + "/sys/block/sda/sda1");
    put(base + "/sys/block/sdb/removable", "1\n");
    QDir().mkpath(base + "/sys/block/sdb/sdb1");
    const std::string drive = m_driveRoot.substr(0, m_driveRoot.size() - 1);
    const std::string stick = m_stickRoot.substr(0, m_stickRoot.size() - 1);
    put(base + "/mounts", QByteArray::fromStdString("/dev/sda1 " + drive + " ext4 rw 0 0\n" + extraMounts));
    put(base + "/fstab", QByteArray::fromStdString("/dev/sdb1 " + stick + " vfat noauto,user 0 0\n"));
    m_volumes = std::make_unique<platform::SystemVolumes>((base + "/mounts").toStdString(),
                                                          (base + "/fstab").toStdString(),
                                                          (base + "/sys").toStdString(), "/nonexistent-dev");
    platform::setVolumeSource(m_volumes.get());
    platform::setUserMessages(&messages);
}

FakeDrives::~FakeDrives()
{
    platform::setUserMessages(nullptr);
    platform::setVolumeSource(nullptr);
}

void FakeDrives::makeFolder(const std::string& relative) const
{
    QDir().mkpath(QString::fromStdString(m_driveRoot + relative));
}

void FakeDrives::writeFile(const std::string& relative, const std::string& text) const
{
    put(QString::fromStdString(m_driveRoot + relative), QByteArray::fromStdString(text));
}

std::string FakeDrives::readFile(const std::string& relative) const
{
    QFile f(QString::fromStdString(m_driveRoot + relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}
