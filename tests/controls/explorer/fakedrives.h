// A machine for folder-tree tests: a fixed drive and a removable drive without medium rooted in a
// temporary folder, described by a canned mount table, fstab and /sys, with recorded messages.
#pragma once

#include "platform/recordedusermessages.h"
#include "platform/volumes.h"

#include <QTemporaryDir>

#include <memory>
#include <string>

class FakeDrives {
public:
    // extraMounts: further mount-table lines, e.g. a network share.
    explicit FakeDrives(const std::string& extraMounts = "");
    ~FakeDrives();

    // Roots with their trailing "/".
    std::string driveRoot() const { return m_driveRoot; }
    std::string stickRoot() const { return m_stickRoot; }
    std::string base() const { return m_dir.path().toStdString(); }

    void makeFolder(const std::string& relative) const;
    void writeFile(const std::string& relative, const std::string& text = "x") const;
    std::string readFile(const std::string& relative) const;

    platform::RecordedUserMessages messages;

private:
    QTemporaryDir m_dir;
    std::string m_driveRoot;
    std::string m_stickRoot;
    std::unique_ptr<platform::SystemVolumes> m_volumes;
};
