// Network families, servers and shares derived from the mounted network file systems.
#include "platform/networkresources.h"

#include "platform/volumes.h"

#include <algorithm>

namespace platform {

namespace {

struct Share {
    std::string family;
    std::string server;
    std::string share;  // the remote path, without leading "/"
    std::string mountRoot;
    std::string fsType;
};

std::string familyOf(const std::string& fsType)
{
    if (fsType.rfind("nfs", 0) == 0)
        return "NFS";
    if (fsType == "cifs" || fsType == "smb3" || fsType == "smbfs")
        return "SMB";
    if (fsType.find("sshfs") != std::string::npos)
        return "SSHFS";
    if (fsType == "9p")
        return "9P";
    return "Другие сети";
}

Share shareOf(const Volume& v)
{
    Share s;
    s.family = familyOf(v.fsType);
    s.mountRoot = v.root;
    s.fsType = v.fsType;
    std::string dev = v.device;
    if (dev.rfind("//", 0) == 0) {  // //server/share
        dev.erase(0, 2);
        const auto slash = dev.find('/');
        s.server = dev.substr(0, slash);
        s.share = slash == std::string::npos ? std::string() : dev.substr(slash + 1);
    } else if (const auto colon = dev.find(':'); colon != std::string::npos) {  // server:/path
        s.server = dev.substr(0, colon);
        s.share = dev.substr(colon + 1);
    } else {
        s.server = dev;
    }
    while (!s.share.empty() && s.share.front() == '/')
        s.share.erase(0, 1);
    while (!s.share.empty() && s.share.back() == '/')
        s.share.pop_back();
    if (s.share.empty()) {
        std::string point = v.root.size() > 1 ? v.root.substr(0, v.root.size() - 1) : v.root;
        s.share = point.substr(point.rfind('/') + 1);
    }
    if (s.server.empty())
        s.server.push_back('?');
    return s;
}

std::vector<Share> mountedShares()
{
    std::vector<Share> shares;
    for (const auto& v : volumeSource().volumes())
        if (v.mounted && v.driveType == kDriveRemote)
            shares.push_back(shareOf(v));
    return shares;
}

void addUnique(std::vector<NetResource>& list, NetResource r)
{
    for (const auto& have : list)
        if (have.remoteName == r.remoteName)
            return;
    list.push_back(std::move(r));
}

}  // namespace

std::vector<NetResource> enumerateNetwork(const NetResource* parent)
{
    std::vector<NetResource> result;
    const auto shares = mountedShares();
    if (!parent || parent->remoteName.empty()) {
        for (const auto& s : shares) {
            NetResource r;
            r.displayType = kNetDisplayNetwork;
            r.usage = 2;
            r.remoteName = s.family;
            r.provider = s.family;
            addUnique(result, r);
        }
    } else if (parent->displayType == kNetDisplayNetwork) {
        for (const auto& s : shares)
            if (s.family == parent->remoteName) {
                NetResource r;
                r.displayType = kNetDisplayServer;
                r.usage = 2;
                r.remoteName = "//" + s.server;
                r.provider = s.family;
                addUnique(result, r);
            }
    } else if (parent->displayType == kNetDisplayServer) {
        for (const auto& s : shares)
            if ("//" + s.server == parent->remoteName && s.family == parent->provider) {
                NetResource r;
                r.displayType = kNetDisplayShare;
                r.usage = 1;
                r.remoteName = "//" + s.server + "/" + s.share;
                r.localName = s.mountRoot;
                r.comment = s.fsType;
                r.provider = s.family;
                addUnique(result, r);
            }
    }
    return result;
}

bool networkAvailable()
{
    return !mountedShares().empty();
}

}  // namespace platform
