// A CD audio track through libcdio. The ".cda" path's folder names the drive (a device node, the
// mount point of an audio CD, or a .cue/.bin disc image) and its file part "TrackNN.cda" the track.
// Reads on decoding threads only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audiolib/source.h"

typedef struct _CdIo CdIo_t;

namespace audiolib {

class CdSource : public Source {
public:
    static constexpr int kFramesPerSector = 588;  // 2352 bytes of 16-bit stereo

    // nullptr with *error = kErrorCdTrack (no drive, no such audio track) or kErrorFileOpen.
    static std::unique_ptr<CdSource> open(const std::string& cdaPath, int* error);
    ~CdSource() override;

    int rateHz() const override { return 44100; }
    int channels() const override { return 2; }
    std::int64_t lengthFrames() const override { return m_length; }
    int read(float* out, int maxFrames, std::int64_t* positions) override;
    bool seek(std::int64_t frame) override;
    std::int64_t position() const override { return m_pos; }

    // "/x/y/Track07.cda" -> drive "/x/y", track 7; false when the name is no track name.
    static bool parsePath(const std::string& path, std::string* drive, int* track);

private:
    CdSource() = default;

    CdIo_t* m_cdio = nullptr;
    std::int32_t m_firstLsn = 0;
    std::int64_t m_length = 0;
    std::int64_t m_pos = 0;
    std::vector<std::uint8_t> m_sectors;
};

}  // namespace audiolib
