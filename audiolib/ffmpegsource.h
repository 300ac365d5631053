// Decodes an audio file with FFmpeg into float PCM, with an exact length and sample-accurate
// seeking. Runs on decoding threads only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audiolib/source.h"

struct AVFormatContext;
struct AVCodecContext;
struct SwrContext;
struct AVPacket;
struct AVFrame;

namespace audiolib {

class FfmpegSource : public Source {
public:
    // nullptr on failure, with *error one of kErrorFileOpen, kErrorFormat, kErrorCodec.
    static std::unique_ptr<FfmpegSource> open(const std::string& path, int* error);
    ~FfmpegSource() override;

    int rateHz() const override { return m_rate; }
    int channels() const override { return m_channels; }
    std::int64_t lengthFrames() const override { return m_length; }
    int read(float* out, int maxFrames, std::int64_t* positions) override;
    bool seek(std::int64_t frame) override;
    std::int64_t position() const override { return m_pos; }

private:
    FfmpegSource() = default;
    bool init(const std::string& path, int* error);
    std::int64_t countFrames();  // by reading every packet: exact where headers only estimate
    bool decodeNext();           // the next decoded frame into m_pending; false at the end
    std::int64_t frameIndexOf(const AVFrame* frame) const;
    // Damaged or odd files change channel count, sample format or rate between frames: the
    // converter follows each frame's own format. False when it cannot.
    bool converterFor(const AVFrame* frame);

    AVFormatContext* m_fmt = nullptr;
    AVCodecContext* m_dec = nullptr;
    SwrContext* m_swr = nullptr;
    AVPacket* m_pkt = nullptr;
    AVFrame* m_frame = nullptr;
    int m_stream = -1;
    int m_swrFormat = -1;
    int m_swrChannels = 0;
    int m_swrRate = 0;
    int m_rate = 0;
    int m_channels = 0;
    std::int64_t m_length = 0;
    std::int64_t m_pos = 0;            // index of the next frame delivered
    std::int64_t m_firstPts = INT64_MIN;  // pts of the first frame, in stream time base
    std::int64_t m_skip = 0;             // frames to drop after a seek
    bool m_seekPending = false;          // the first frame after a seek tells where we are
    std::int64_t m_seekTarget = 0;
    bool m_eof = false;
    // MP3: byte position and first frame index of every packet, so that seeking lands exactly
    // where the time stamps of variable bit-rate files would only estimate.
    struct IndexEntry {
        std::int64_t bytePos;
        std::int64_t frame;
    };
    std::vector<IndexEntry> m_index;
    std::vector<float> m_pending;  // converted frames not yet delivered
    std::size_t m_pendingFrames = 0;
    std::size_t m_pendingOffset = 0;
};

}  // namespace audiolib
