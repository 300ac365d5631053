// Decodes an audio file with FFmpeg into float PCM, with an exact length and sample-accurate
// seeking. Runs on decoding threads only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audiolib/countedframes.h"
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
    // Lands on the frame a straight decode from the start has there. A container whose seek
    // cannot be checked (its frames carry no time stamps) or lands past the frame is not asked
    // again: its seeks decode forward to the frame, from the start when it lies behind.
    bool seek(std::int64_t frame) override;
    std::int64_t position() const override { return m_pos; }

protected:
    FfmpegSource() = default;
    bool init(const std::string& path, int* error);
    // The demuxer's next packet and its seek to a time stamp of the stream (at or before it);
    // FFmpeg's return values. Tests stand in demuxers that misbehave.
    virtual int readPacket(AVPacket* packet);
    virtual int seekDemuxer(std::int64_t timestamp);

private:
    // Opens the file's demuxer and decoder, ready to decode from the start.
    bool openDecoding(int* error);
    void closeDecoding();
    std::shared_ptr<const CountedFrames> countFrames();  // by reading every packet: exact where headers only estimate
    bool decodeNext();           // the next decoded frame into m_pending; false at the end
    std::int64_t frameIndexOf(const AVFrame* frame) const;
    // Damaged or odd files change channel count, sample format or rate between frames: the
    // converter follows each frame's own format. False when it cannot.
    bool converterFor(const AVFrame* frame);
    // Forgets what was decoded before a move of the demuxer.
    void resetDecoding();
    bool seekByPacket(std::int64_t frame);  // MPEG audio, by the counted packet positions
    bool seekByTime(std::int64_t frame);    // by the demuxer, checked where it landed
    bool decodeUpTo(std::int64_t frame);

    std::string m_path;
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
    std::int64_t m_skip = 0;             // frames to drop before m_pos is delivered
    // The decoder's next frame is m_pos - m_skip: false after a move of the demuxer that was not
    // checked.
    bool m_positionKnown = true;
    bool m_seeksTrusted = true;
    bool m_eof = false;
    // MPEG: byte position and first frame index of every packet, so that seeking lands exactly
    // where the time stamps of variable bit-rate files would only estimate. Shared with the other
    // streams of the file.
    std::shared_ptr<const CountedFrames> m_counted;
    std::vector<float> m_pending;  // converted frames not yet delivered
    std::size_t m_pendingFrames = 0;
    std::size_t m_pendingOffset = 0;
    std::int64_t m_pendingIndex = -1;  // frame index of m_pending's first frame by its time stamp
};

}  // namespace audiolib
