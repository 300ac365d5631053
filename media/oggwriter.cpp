// TOggVorbis::WriteTag: a new comment packet in page 2, written to a temporary file beside the
// original and renamed over it, so a failure at any point leaves the original as it was.
#include "media/inputfile.h"
#include "media/oggheaders.h"
#include "media/oggvorbis.h"
#include "media/textutil.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace media {

namespace {

using Info = OggHeaderInfo;

void appendLe32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string entryKey(std::string_view entry)
{
    const std::size_t eq = entry.find('=');
    return eq == std::string_view::npos ? std::string() : asciiUpper(trimText(entry.substr(0, eq)));
}

// One edited value: the key it is stored under, the new text (empty: none), and whether the user
// changed it since the file was read (unchanged values keep their entries byte for byte).
struct Edit {
    const char* key;
    std::string text;
    bool changed;
    // The key the field falls back to when its own is empty: a field cleared by the operator
    // takes it along, or the next read would show it again.
    const char* fallback = nullptr;
};

class OutputFile {
public:
    ~OutputFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    // Creates a new file named after base with a unique suffix (never an existing file: a
    // "song.ogg~" backup beside the original is not ours to overwrite); its name goes to name.
    bool create(const std::string& base, std::string& name, const struct stat& like, mode_t mode)
    {
        std::string pattern = base + ".XXXXXX";
        m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (m_fd < 0)
            return false;
        name = pattern;
        // Keep the owner where we may (only a privileged writer can); the mode in any case.
        if ((like.st_uid != ::geteuid() || like.st_gid != ::getegid()) && ::fchown(m_fd, like.st_uid, like.st_gid) != 0) {
            // Not fatal: the new file then belongs to the writer, as any saved copy would.
        }
        return ::fchmod(m_fd, mode) == 0;
    }
    bool write(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t n = ::write(m_fd, p, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            p += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }
    bool writeAt(std::int64_t offset, const void* data, std::size_t size)
    {
        return ::pwrite(m_fd, data, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
    }
    bool finish()
    {
        const bool ok = ::fsync(m_fd) == 0;
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        return ok && closed;
    }

private:
    int m_fd = -1;
};

// Copies size bytes of in from offset; feeds the first crcBytes of them to crc as well.
bool copyRange(const InputFile& in, std::int64_t offset, std::int64_t size, OutputFile& out, std::uint32_t* crc,
               std::int64_t crcBytes)
{
    char buffer[65536];
    while (size > 0) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::int64_t>(size, sizeof buffer));
        if (!in.readExact(offset, buffer, chunk) || !out.write(buffer, chunk))
            return false;
        if (crc && crcBytes > 0) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(crcBytes, chunk));
            *crc = OggPageCrc(*crc, buffer, n);
            crcBytes -= static_cast<std::int64_t>(n);
        }
        offset += static_cast<std::int64_t>(chunk);
        size -= static_cast<std::int64_t>(chunk);
    }
    return true;
}

}  // namespace

bool TOggVorbis::WriteTag(const std::string& fileName)
{
    // A symbolic link is rewritten at its target, so the link stays a link.
    std::error_code ec;
    const std::string target = std::filesystem::canonical(fileName, ec).string();
    if (ec)
        return false;
    Info info;
    if (!readHeaders(target, info))
        return false;

    // Only the layout this rewrite understands: page 1 holds exactly the identification packet,
    // page 2 begins with the whole comment packet and the comments were read completely.
    const std::uint8_t* p1 = info.page1;
    const std::uint8_t* p2 = info.page2;
    if (p1[26] != 1 || p1[27] != 30)
        return false;
    if (!info.page2Read || std::memcmp(p2, "OggS", 4) != 0 || (p2[5] & 0x01) || !info.hasComments ||
        !info.commentsComplete || !info.entriesKept || info.entries.empty())
        return false;
    const int segments = p2[26];
    int e = 0;
    std::int64_t firstPacket = 0;
    while (e < segments) {
        firstPacket += p2[27 + e];
        if (p2[27 + e++] < 255)
            break;
    }
    if (e == 0 || p2[27 + e - 1] == 255)
        return false;  // the comment packet continues on page 3
    std::int64_t pageBody = 0;
    for (int i = 0; i < segments; ++i)
        pageBody += p2[27 + i];
    const std::int64_t bodyStart = info.page2Start + 27 + segments;
    const std::int64_t oldComment = info.commentEnd - bodyStart;
    if (oldComment > firstPacket || bodyStart + pageBody > info.fileSize)
        return false;

    // What the fields held when the file was read, to tell edited values from untouched ones.
    TOggVorbis fromFile;
    fromFile.fillFields(info);
    using K = Info::Key;
    auto edit = [](const char* key, const std::string& now, const std::string& before,
                   const char* fallback = nullptr) {
        const std::string text(trimText(now));
        return Edit{key, text, text != before, fallback};
    };
    const Edit edits[] = {
        edit(Info::kKeys[K::kTitle], Title, fromFile.Title),
        edit(Info::kKeys[K::kArtist], Artist, fromFile.Artist, Info::kKeys[K::kPerformer]),
        edit(Info::kKeys[K::kAlbum], Album, fromFile.Album),
        Edit{Info::kKeys[K::kTrackNumber], Track > 0 ? std::to_string(Track) : std::string(), Track != fromFile.Track},
        edit(Info::kKeys[K::kDate], Date, fromFile.Date),
        edit(Info::kKeys[K::kGenre], Genre, fromFile.Genre),
        edit(Info::kKeys[K::kComment], Comment, fromFile.Comment, Info::kKeys[K::kDescription]),
    };

    // The comments: untouched ones as they were; an edited key's entries give way to one new entry
    // at the place of the first of them, or at the end when the file had none.
    std::vector<std::string_view> kept;
    std::vector<std::string> added;
    std::vector<bool> placed(std::size(edits), false);
    for (std::size_t i = 1; i < info.entries.size(); ++i) {
        const std::string key = entryKey(info.entries[i]);
        std::size_t which = std::size(edits);
        bool cleared = false;
        for (std::size_t k = 0; k < std::size(edits); ++k) {
            if (edits[k].changed && key == edits[k].key)
                which = k;
            cleared = cleared || (edits[k].changed && edits[k].text.empty() && edits[k].fallback &&
                                  key == edits[k].fallback);
        }
        if (cleared)
            continue;
        if (which == std::size(edits)) {
            kept.push_back(info.entries[i]);
        } else if (!placed[which]) {
            placed[which] = true;
            if (!edits[which].text.empty()) {
                added.push_back(std::string(edits[which].key) + "=" + edits[which].text);
                kept.push_back({});  // placeholder, filled below
            }
        }
    }
    for (std::size_t k = 0; k < std::size(edits); ++k)
        if (edits[k].changed && !placed[k] && !edits[k].text.empty()) {
            added.push_back(std::string(edits[k].key) + "=" + edits[k].text);
            kept.push_back({});
        }

    std::string packet(reinterpret_cast<const char*>(info.marker), sizeof info.marker);
    appendLe32(packet, static_cast<std::uint32_t>(info.entries[0].size()));
    packet += info.entries[0];
    appendLe32(packet, static_cast<std::uint32_t>(kept.size()));
    std::size_t next = 0;
    for (std::string_view entry : kept) {
        const std::string_view text = entry.data() ? entry : std::string_view(added[next++]);
        appendLe32(packet, static_cast<std::uint32_t>(text.size()));
        packet.append(text);
    }
    // The marker is part of the old packet too: the old comment region starts at the body start.
    const std::int64_t newFirst = firstPacket - oldComment + static_cast<std::int64_t>(packet.size());
    const std::int64_t newSegments = newFirst / 255 + 1 + (segments - e);
    if (newSegments > 255)
        return false;

    std::uint8_t header[27 + 255];
    std::memcpy(header, p2, 27);
    std::memset(header + 22, 0, 4);
    header[26] = static_cast<std::uint8_t>(newSegments);
    int n = 27;
    for (std::int64_t i = 0; i < newFirst / 255; ++i)
        header[n++] = 255;
    header[n++] = static_cast<std::uint8_t>(newFirst % 255);
    for (int i = e; i < segments; ++i)
        header[n++] = p2[27 + i];

    // The read-only attribute of this platform is the owner's write bit.
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    mode_t mode = st.st_mode & 07777;
    if (!(mode & S_IWUSR)) {
        mode |= S_IWUSR;
        if (::chmod(target.c_str(), mode) != 0)
            return false;
    }

    InputFile in;
    if (!in.open(target) || in.size() != info.fileSize)
        return false;
    std::string temp;
    bool ok = false;
    {
        OutputFile out;
        std::uint32_t crc = OggPageCrc(0, header, static_cast<std::size_t>(n));
        crc = OggPageCrc(crc, packet.data(), packet.size());
        const std::int64_t restOfBody = pageBody - firstPacket + (firstPacket - oldComment);
        ok = out.create(target, temp, st, mode) && copyRange(in, 0, info.page2Start, out, nullptr, 0) &&
             out.write(header, static_cast<std::size_t>(n)) && out.write(packet.data(), packet.size()) &&
             copyRange(in, info.commentEnd, info.fileSize - info.commentEnd, out, &crc, restOfBody);
        if (ok) {
            std::uint8_t crcBytes[4];
            for (int i = 0; i < 4; ++i)
                crcBytes[i] = static_cast<std::uint8_t>(crc >> (8 * i));
            ok = out.writeAt(info.page2Start + 22, crcBytes, 4) && out.finish();
        }
    }
    if (ok)
        ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok && !temp.empty())
        ::unlink(temp.c_str());
    return ok;
}

}  // namespace media
