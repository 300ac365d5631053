// A machine for folder-tree tests: a fixed drive and a removable drive without medium rooted in a
// temporary folder, described by a canned mount table, fstab and /sys, with recorded messages.
#pragma once

#include "platform/recordedusermessages.h"
#include "platform/volumes.h"

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// A machine whose only drive, /dev/sr0, holds an audio disc with the given tracks.
class AudioDiscVolumes : public platform::VolumeSource {
public:
    explicit AudioDiscVolumes(std::vector<platform::AudioTrack> tracks) : m_tracks(std::move(tracks)) {}
    std::vector<platform::Volume> volumes() override
    {
        platform::Volume cd;
        cd.root = "/dev/sr0/";
        cd.device = "/dev/sr0";
        cd.driveType = platform::kDriveCdrom;
        cd.displayName = "Дисковод sr0";
        return {cd};
    }
    bool hasMedium(const platform::Volume&) override { return true; }
    bool diskSpace(const platform::Volume&, platform::DiskSpace& space) override
    {
        space = {};
        return false;
    }
    std::vector<platform::AudioTrack> audioTracks(const platform::Volume&) override { return m_tracks; }

private:
    std::vector<platform::AudioTrack> m_tracks;
};
