// CD audio tracks of drives and disc images.
#include "audiolib/cdsource.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include "audiolib/errors.h"
#include "platform/regularfile.h"

namespace audiolib {

namespace {

constexpr int kSectorsPerRead = 16;

void quietLog(cdio_log_level_t, const char*) {}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// The device of a mounted audio CD, or the folder itself.
std::string deviceOfMountPoint(const std::string& folder)
{
    std::ifstream mounts("/proc/mounts");
    std::string line;
    std::string trimmed = folder;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string dev, dir;
        if (fields >> dev >> dir && dir == trimmed)
            return dev;
    }
    return folder;
}

}  // namespace

bool CdSource::parsePath(const std::string& path, std::string* drive, int* track)
{
    const auto slash = path.find_last_of("/\\");
    const std::string file = lower(slash == std::string::npos ? path : path.substr(slash + 1));
    if (file.size() < 10 || file.compare(0, 5, "track") != 0 || file.compare(file.size() - 4, 4, ".cda") != 0)
        return false;
    const std::string digits = file.substr(5, file.size() - 9);
    if (digits.empty() || digits.size() > 3 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    *track = std::stoi(digits);
    *drive = slash == std::string::npos ? std::string() : path.substr(0, slash);
    return true;
}

std::unique_ptr<CdSource> CdSource::open(const std::string& cdaPath, int* error)
{
    std::string drive;
    int track = 0;
    if (!parsePath(cdaPath, &drive, &track)) {
        *error = kErrorFileOpen;
        return nullptr;
    }
    cdio_log_set_handler(&quietLog);
    std::unique_ptr<CdSource> src(new CdSource());
    const std::string ext = lower(drive.size() > 4 ? drive.substr(drive.size() - 4) : std::string());
    // A disc image is a regular file; anything else under its name (a FIFO) would hold the open.
    if ((ext == ".cue" || ext == ".bin") && !platform::RegularFile(drive).isOpen()) {
        *error = kErrorCdTrack;
        return nullptr;
    }
    if (ext == ".cue")
        src->m_cdio = cdio_open_cue(drive.c_str());
    else if (ext == ".bin")
        src->m_cdio = cdio_open_bincue(drive.c_str());
    else
        src->m_cdio = cdio_open(drive.empty() ? nullptr : deviceOfMountPoint(drive).c_str(), DRIVER_UNKNOWN);
    if (!src->m_cdio) {
        *error = kErrorCdTrack;
        return nullptr;
    }
    const track_t first = cdio_get_first_track_num(src->m_cdio);
    const track_t count = cdio_get_num_tracks(src->m_cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || track < first || track >= first + count ||
        cdio_get_track_format(src->m_cdio, track_t(track)) != TRACK_FORMAT_AUDIO) {
        *error = kErrorCdTrack;
        return nullptr;
    }
    const lsn_t begin = cdio_get_track_lsn(src->m_cdio, track_t(track));
    const lsn_t end = cdio_get_track_last_lsn(src->m_cdio, track_t(track));
    if (begin == CDIO_INVALID_LSN || end == CDIO_INVALID_LSN || end < begin) {
        *error = kErrorCdTrack;
        return nullptr;
    }
    src->m_firstLsn = begin;
    src->m_length = std::int64_t(end - begin + 1) * kFramesPerSector;
    src->m_sectors.resize(std::size_t(kSectorsPerRead) * CDIO_CD_FRAMESIZE_RAW);
    return src;
}

CdSource::~CdSource()
{
    if (m_cdio)
        cdio_destroy(m_cdio);
}

int CdSource::read(float* out, int maxFrames, std::int64_t* positions)
{
    int n = 0;
    while (n < maxFrames && m_pos < m_length) {
        const std::int64_t sector = m_pos / kFramesPerSector;
        const int offset = int(m_pos % kFramesPerSector);
        const std::int64_t sectorsLeft = (m_length + kFramesPerSector - 1) / kFramesPerSector - sector;
        const int sectors = int(std::min<std::int64_t>(
            {sectorsLeft, kSectorsPerRead, (offset + (maxFrames - n) + kFramesPerSector - 1) / kFramesPerSector}));
        if (cdio_read_audio_sectors(m_cdio, m_sectors.data(), lsn_t(m_firstLsn + sector), unsigned(sectors)) !=
            DRIVER_OP_SUCCESS)
            break;  // an unreadable sector ends the track here
        const int avail = sectors * kFramesPerSector - offset;
        const int take = int(std::min<std::int64_t>({avail, maxFrames - n, m_length - m_pos}));
        const std::uint8_t* p = m_sectors.data() + std::size_t(offset) * 4;
        for (int i = 0; i < take * 2; ++i) {
            const auto s = std::int16_t(std::uint16_t(p[i * 2]) | std::uint16_t(p[i * 2 + 1]) << 8);
            out[std::size_t(n) * 2 + i] = float(s) / 32768.0f;
        }
        if (positions)
            for (int i = 0; i < take; ++i)
                positions[n + i] = m_pos + i;
        n += take;
        m_pos += take;
    }
    return n;
}

bool CdSource::seek(std::int64_t frame)
{
    if (frame < 0 || frame > m_length)
        return false;
    m_pos = frame;
    return true;
}

}  // namespace audiolib
