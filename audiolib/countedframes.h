// What reading every packet of a file found: its exact length and, for MPEG audio, where each
// packet lies. Kept while any stream of the file is open, so that a file is read for its frames
// once however many streams open it (the one that plays, the silence scan's, the BPM stream).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace audiolib {

struct PacketPosition {
    std::int64_t bytePos;
    std::int64_t frame;  // index of the packet's first frame
};

struct CountedFrames {
    std::int64_t lengthFrames = 0;
    std::vector<PacketPosition> packets;  // MPEG audio only, in file order
};

// A file as it is now: the same name rewritten or replaced since is another file.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t sizeBytes = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of an open file; false when it cannot be told.
bool identifyFile(int fd, FileIdentity* identity);

// The count of that file while a stream of it holds one, else null. Any thread.
std::shared_ptr<const CountedFrames> findCountedFrames(const FileIdentity& file);
// Offers a count to the streams opened on the file from now on, for as long as the caller (or
// another holder) keeps it.
void shareCountedFrames(const FileIdentity& file, const std::shared_ptr<const CountedFrames>& counted);

}  // namespace audiolib
