// FFmpeg file decoding: open, exact length, sample-accurate seek, read as float PCM.
#include "audiolib/ffmpegsource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "audiolib/errors.h"
#include "platform/regularfile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace audiolib {

namespace {

// After a seek we start decoding this many frames early: MP3 frames borrow bits from the ones
// before, so the first frame after a cold seek would come out wrong.
constexpr std::int64_t kSeekPrerollFrames = 4096;
constexpr std::ptrdiff_t kSeekPrerollPackets = 8;
// A file whose packets keep failing to decode is treated as ended at the damage.
constexpr int kMaxBadPackets = 256;

}  // namespace

std::unique_ptr<FfmpegSource> FfmpegSource::open(const std::string& path, int* error)
{
    std::unique_ptr<FfmpegSource> src(new FfmpegSource());
    if (!src->init(path, error))
        return nullptr;
    return src;
}

FfmpegSource::~FfmpegSource()
{
    closeDecoding();
    av_frame_free(&m_frame);
    av_packet_free(&m_pkt);
}

int FfmpegSource::readPacket(AVPacket* packet)
{
    return av_read_frame(m_fmt, packet);
}

int FfmpegSource::seekDemuxer(std::int64_t timestamp)
{
    return av_seek_frame(m_fmt, m_stream, timestamp, AVSEEK_FLAG_BACKWARD);
}

bool FfmpegSource::init(const std::string& path, int* error)
{
    av_log_set_level(AV_LOG_QUIET);
    m_path = path;
    m_pkt = av_packet_alloc();
    m_frame = av_frame_alloc();
    if (!m_pkt || !m_frame) {
        *error = kErrorMemory;
        return false;
    }
    FileIdentity identity;
    bool identified = false;
    {
        const platform::RegularFile file(path);
        identified = file.isOpen() && identifyFile(file.fd(), &identity);
    }
    if (!openDecoding(error))
        return false;

    // Headers of MP3 files without a frame count only estimate the length from the bit rate, and
    // a wrong length would shift every mix point computed from it: count the packets instead.
    const AVStream* st = m_fmt->streams[m_stream];
    const bool estimated = m_fmt->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE ||
                           st->duration == AV_NOPTS_VALUE || st->duration <= 0;
    const AVCodecID codec = m_dec->codec_id;
    const bool mpeg = codec == AV_CODEC_ID_MP3 || codec == AV_CODEC_ID_MP2 || codec == AV_CODEC_ID_MP1;
    if (estimated || mpeg) {
        if (identified)
            m_counted = findCountedFrames(identity);
        if (!m_counted) {
            m_counted = countFrames();
            if (identified)
                shareCountedFrames(identity, m_counted);
            // The count has read to the end: decoding starts again from a demuxer just opened,
            // the one state a straight decode is known to start from.
            closeDecoding();
            if (!openDecoding(error))
                return false;
        }
        m_length = m_counted->lengthFrames;
    } else {
        m_length = av_rescale_q(st->duration, st->time_base, AVRational{1, m_rate});
    }
    if (m_length < 0)
        m_length = 0;
    // The first frame now: its time stamp is the origin of every later seek.
    decodeNext();
    return true;
}

bool FfmpegSource::openDecoding(int* error)
{
    // Only a regular file: a FIFO under an audio file's name would hold the open (and the thread
    // that plays or measures) for ever, and a device such as /dev/zero would never end.
    if (!platform::RegularFile(m_path).isOpen()) {
        *error = kErrorFileOpen;
        return false;
    }
    // Local files only: a name with a colon must not be taken for a protocol, and a playlist
    // entry naming a URL must not make the player wait on the network.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const std::string url = "file:" + m_path;
    int ret = avformat_open_input(&m_fmt, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (ret < 0) {
        m_fmt = nullptr;
        *error = (ret == AVERROR(ENOENT) || ret == AVERROR(EACCES) || ret == AVERROR(EISDIR) ||
                  ret == AVERROR(EIO))
                     ? kErrorFileOpen
                     : kErrorFormat;
        return false;
    }
    if (avformat_find_stream_info(m_fmt, nullptr) < 0) {
        *error = kErrorFormat;
        return false;
    }
    const AVCodec* codec = nullptr;
    m_stream = av_find_best_stream(m_fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (m_stream < 0) {
        *error = m_stream == AVERROR_DECODER_NOT_FOUND ? kErrorCodec : kErrorFormat;
        return false;
    }
    for (unsigned i = 0; i < m_fmt->nb_streams; ++i)
        m_fmt->streams[i]->discard = (int(i) == m_stream) ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    AVStream* st = m_fmt->streams[m_stream];
    m_dec = avcodec_alloc_context3(codec);
    if (!m_dec || avcodec_parameters_to_context(m_dec, st->codecpar) < 0) {
        *error = kErrorCodec;
        return false;
    }
    m_dec->pkt_timebase = st->time_base;
    if (avcodec_open2(m_dec, codec, nullptr) < 0) {
        *error = kErrorCodec;
        return false;
    }
    m_rate = m_dec->sample_rate;
    const int inChannels = m_dec->ch_layout.nb_channels;
    if (m_rate < 1000 || m_rate > 384000 || inChannels < 1 || inChannels > 64) {
        *error = kErrorFormat;
        return false;
    }
    m_channels = inChannels == 1 ? 1 : 2;
    if (!converterFor(nullptr)) {
        *error = kErrorCodec;
        return false;
    }
    resetDecoding();
    return true;
}

void FfmpegSource::closeDecoding()
{
    swr_free(&m_swr);
    m_swrFormat = -1;
    avcodec_free_context(&m_dec);
    if (m_fmt)
        avformat_close_input(&m_fmt);
    m_pendingFrames = m_pendingOffset = 0;
    m_pendingIndex = -1;
}

std::shared_ptr<const CountedFrames> FfmpegSource::countFrames()
{
    auto counted = std::make_shared<CountedFrames>();
    AVStream* st = m_fmt->streams[m_stream];
    const bool mpeg = m_dec->codec_id == AV_CODEC_ID_MP3 || m_dec->codec_id == AV_CODEC_ID_MP2 ||
                      m_dec->codec_id == AV_CODEC_ID_MP1;
    std::int64_t sum = 0;      // in stream time base
    std::int64_t dropped = 0;  // frames the decoder drops (encoder delay and padding), in frames
    while (readPacket(m_pkt) >= 0) {
        if (m_pkt->stream_index == m_stream && m_pkt->duration > 0) {
            std::size_t size = 0;
            const uint8_t* skip = av_packet_get_side_data(m_pkt, AV_PKT_DATA_SKIP_SAMPLES, &size);
            std::int64_t skipStart = 0;
            if (skip && size >= 8) {
                skipStart = std::int64_t(skip[0]) | std::int64_t(skip[1]) << 8 | std::int64_t(skip[2]) << 16 |
                            std::int64_t(skip[3]) << 24;
                const std::int64_t skipEnd = std::int64_t(skip[4]) | std::int64_t(skip[5]) << 8 |
                                             std::int64_t(skip[6]) << 16 | std::int64_t(skip[7]) << 24;
                dropped += skipStart + skipEnd;
            }
            const std::int64_t frameBefore = av_rescale_q(sum, st->time_base, AVRational{1, m_rate}) - dropped + skipStart;
            if (mpeg && m_pkt->pos >= 0)
                counted->packets.push_back({m_pkt->pos, std::max<std::int64_t>(0, frameBefore)});
            sum += m_pkt->duration;
        }
        av_packet_unref(m_pkt);
    }
    counted->lengthFrames = av_rescale_q(sum, st->time_base, AVRational{1, m_rate}) - dropped;
    return counted;
}

bool FfmpegSource::converterFor(const AVFrame* frame)
{
    const AVChannelLayout& layout = frame ? frame->ch_layout : m_dec->ch_layout;
    const int format = frame ? frame->format : m_dec->sample_fmt;
    const int rate = frame && frame->sample_rate > 0 ? frame->sample_rate : m_rate;
    const int channels = layout.nb_channels;
    if (m_swr && format == m_swrFormat && channels == m_swrChannels && rate == m_swrRate)
        return true;
    if (channels < 1 || channels > 64 || rate < 1000 || rate > 384000 || format < 0)
        return false;
    swr_free(&m_swr);
    AVChannelLayout outLayout;
    av_channel_layout_default(&outLayout, m_channels);
    AVChannelLayout inLayout;
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC || !av_channel_layout_check(&layout))
        av_channel_layout_default(&inLayout, channels);
    else
        av_channel_layout_copy(&inLayout, &layout);
    int ret = swr_alloc_set_opts2(&m_swr, &outLayout, AV_SAMPLE_FMT_FLT, m_rate, &inLayout,
                                  AVSampleFormat(format), rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (ret < 0 || swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        m_swrFormat = -1;
        return false;
    }
    m_swrFormat = format;
    m_swrChannels = channels;
    m_swrRate = rate;
    return true;
}

std::int64_t FfmpegSource::frameIndexOf(const AVFrame* frame) const
{
    const std::int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE || m_firstPts == INT64_MIN)
        return -1;
    return av_rescale_q(pts - m_firstPts, m_fmt->streams[m_stream]->time_base, AVRational{1, m_rate});
}

bool FfmpegSource::decodeNext()
{
    if (!m_fmt || !m_dec)
        return false;  // a reopening that failed
    int badPackets = 0;
    for (;;) {
        int ret = avcodec_receive_frame(m_dec, m_frame);
        if (ret == 0) {
            if (m_firstPts == INT64_MIN) {
                m_firstPts = m_frame->best_effort_timestamp != AV_NOPTS_VALUE ? m_frame->best_effort_timestamp : 0;
            }
            const std::int64_t index = frameIndexOf(m_frame);
            if (!converterFor(m_frame)) {
                av_frame_unref(m_frame);
                if (++badPackets > kMaxBadPackets)
                    return false;
                continue;
            }
            const int outMax = swr_get_out_samples(m_swr, m_frame->nb_samples);
            if (outMax <= 0) {
                av_frame_unref(m_frame);
                continue;
            }
            m_pending.resize(std::size_t(outMax) * m_channels);
            auto* outPtr = reinterpret_cast<uint8_t*>(m_pending.data());
            const int got = swr_convert(m_swr, &outPtr, outMax, const_cast<const uint8_t**>(m_frame->extended_data),
                                        m_frame->nb_samples);
            av_frame_unref(m_frame);
            if (got <= 0)
                continue;
            m_pendingFrames = std::size_t(got);
            m_pendingOffset = 0;
            m_pendingIndex = index;
            return true;
        }
        if (ret == AVERROR_EOF)
            return false;
        if (ret != AVERROR(EAGAIN))
            return false;
        if (m_eof)
            return false;  // drained already
        ret = readPacket(m_pkt);
        if (ret < 0) {
            m_eof = true;
            avcodec_send_packet(m_dec, nullptr);
            continue;
        }
        if (m_pkt->stream_index != m_stream) {
            av_packet_unref(m_pkt);
            continue;
        }
        if (m_counted && !m_counted->packets.empty() && m_pkt->pos != m_counted->packets.front().bytePos) {
            // The encoder delay belongs to the first packet only; after a seek by bytes the demuxer
            // may attach it again to whichever packet comes first.
            std::size_t size = 0;
            uint8_t* skip = av_packet_get_side_data(m_pkt, AV_PKT_DATA_SKIP_SAMPLES, &size);
            if (skip && size >= 4)
                std::memset(skip, 0, 4);
        }
        ret = avcodec_send_packet(m_dec, m_pkt);
        av_packet_unref(m_pkt);
        if (ret < 0 && ret != AVERROR(EAGAIN)) {
            // A damaged packet: skip it and go on with the next one, up to a point.
            if (++badPackets > kMaxBadPackets)
                return false;
        }
    }
}

int FfmpegSource::read(float* out, int maxFrames, std::int64_t* positions)
{
    int n = 0;
    while (n < maxFrames) {
        if (m_pos >= m_length)
            break;
        if (m_pendingOffset >= m_pendingFrames) {
            if (!decodeNext())
                break;
            continue;
        }
        std::size_t avail = m_pendingFrames - m_pendingOffset;
        if (m_skip > 0) {
            const std::size_t drop = std::size_t(std::min<std::int64_t>(m_skip, std::int64_t(avail)));
            m_pendingOffset += drop;
            m_skip -= std::int64_t(drop);
            continue;
        }
        const std::int64_t take =
            std::min<std::int64_t>({std::int64_t(avail), std::int64_t(maxFrames - n), m_length - m_pos});
        std::memcpy(out + std::size_t(n) * m_channels, m_pending.data() + m_pendingOffset * m_channels,
                    std::size_t(take) * m_channels * sizeof(float));
        if (positions)
            for (std::int64_t i = 0; i < take; ++i)
                positions[n + i] = m_pos + i;
        m_pendingOffset += std::size_t(take);
        m_pos += take;
        n += int(take);
    }
    return n;
}

void FfmpegSource::resetDecoding()
{
    avcodec_flush_buffers(m_dec);
    m_pendingFrames = m_pendingOffset = 0;
    m_pendingIndex = -1;
    m_skip = 0;
    m_eof = false;
}

bool FfmpegSource::seek(std::int64_t frame)
{
    if (frame < 0 || frame > m_length || !m_fmt)
        return false;
    if (m_counted && !m_counted->packets.empty() && seekByPacket(frame))
        return true;
    if (m_seeksTrusted && seekByTime(frame))
        return true;
    m_seeksTrusted = false;
    return decodeUpTo(frame);
}

bool FfmpegSource::seekByPacket(std::int64_t frame)
{
    const std::int64_t from = std::max<std::int64_t>(0, frame - kSeekPrerollFrames);
    if (from == 0)
        return false;
    const std::vector<PacketPosition>& packets = m_counted->packets;
    auto it = std::upper_bound(packets.begin(), packets.end(), from,
                               [](std::int64_t f, const PacketPosition& p) { return f < p.frame; });
    // Back up a few more packets: the bit reservoir of small VBR frames reaches several back.
    const auto back = std::min<std::ptrdiff_t>(it - packets.begin(), 1 + kSeekPrerollPackets);
    it -= back;
    if (back == 0 || it == packets.begin())
        return false;
    m_positionKnown = false;
    if (av_seek_frame(m_fmt, -1, it->bytePos, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_ANY) < 0)
        return false;
    resetDecoding();
    m_pos = frame;
    m_skip = frame - it->frame;
    m_positionKnown = true;
    return true;
}

bool FfmpegSource::seekByTime(std::int64_t frame)
{
    const AVStream* st = m_fmt->streams[m_stream];
    const std::int64_t from = std::max<std::int64_t>(0, frame - kSeekPrerollFrames);
    const std::int64_t base = m_firstPts != INT64_MIN ? m_firstPts
                                                      : (st->start_time != AV_NOPTS_VALUE ? st->start_time : 0);
    m_positionKnown = false;
    if (seekDemuxer(base + av_rescale_q(from, AVRational{1, m_rate}, st->time_base)) < 0)
        return false;
    resetDecoding();
    // Where the demuxer landed is what its first frame's time stamp says, when it says anything;
    // from at or before the frame, decoding on reaches it.
    if (!decodeNext() || m_pendingIndex < 0 || m_pendingIndex > frame)
        return false;
    m_pos = frame;
    m_skip = frame - m_pendingIndex;
    m_positionKnown = true;
    return true;
}

bool FfmpegSource::decodeUpTo(std::int64_t frame)
{
    if (m_positionKnown && frame >= m_pos) {
        m_skip += frame - m_pos;
        m_pos = frame;
        return true;
    }
    closeDecoding();
    int error = kOk;
    if (!openDecoding(&error))
        return false;
    decodeNext();
    m_pos = frame;
    m_skip = frame;
    m_positionKnown = true;
    return true;
}

}  // namespace audiolib
