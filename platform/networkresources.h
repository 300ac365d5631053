// The network as the folder tree browses it: the mounted network file systems grouped into
// families, servers and shares. Servers that are not mounted cannot be browsed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum : std::uint32_t {
    kNetDisplayDomain = 1,
    kNetDisplayServer = 2,
    kNetDisplayShare = 3,
    kNetDisplayNetwork = 6,
};

struct NetResource {
    std::uint32_t scope = 2;  // the whole network
    std::uint32_t type = 1;   // disk
    std::uint32_t displayType = 0;
    std::uint32_t usage = 0;
    std::string localName;   // a share's mount point with its trailing "/"
    std::string remoteName;  // "NFS", "//server", "//server/share"
    std::string comment;
    std::string provider;    // the family: "NFS", "SMB", ...
};

// Children of a resource: families at the top (no parent, or a parent without a remote name),
// then servers of a family, then shares of a server. Built from the volume source's mounts.
std::vector<NetResource> enumerateNetwork(const NetResource* parent);

// Whether any network file system is mounted, so that there is something to browse.
bool networkAvailable();

}  // namespace platform
