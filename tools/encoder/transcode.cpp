// The encode: the source decoded to float PCM by the audio library's file source, converted to
// the encoder's sample format, rate and channels, cut into the encoder's frames, encoded and muxed.
#include "tools/encoder/transcode.h"

#include "audiolib/errors.h"
#include "audiolib/ffmpegsource.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace encoder {

namespace {

constexpr std::int64_t kSmallStep = 4096;
constexpr std::int64_t kMaxSteps = 2000;
constexpr int kVariableFrame = 1024;

std::string avError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The rate the encoder takes that is nearest to the one wanted.
int chooseRate(const AVCodec* codec, int wanted)
{
    if (codec->supported_samplerates == nullptr)
        return wanted;
    int best = codec->supported_samplerates[0];
    for (const int* r = codec->supported_samplerates; *r != 0; ++r)
        if (std::abs(*r - wanted) < std::abs(best - wanted))
            best = *r;
    return best;
}

// The encoder's own format for float input when it has one, else its first.
AVSampleFormat chooseFormat(const AVCodec* codec)
{
    if (codec->sample_fmts == nullptr)
        return AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == AV_SAMPLE_FMT_FLTP || *f == AV_SAMPLE_FMT_FLT)
            return *f;
    return codec->sample_fmts[0];
}

// Everything one encode holds, released in any case.
struct Encode {
    AVFormatContext* out = nullptr;
    AVCodecContext* enc = nullptr;
    SwrContext* swr = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    AVStream* stream = nullptr;
    std::int64_t pts = 0;
    std::string* error = nullptr;

    ~Encode()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        if (fifo)
            av_audio_fifo_free(fifo);
        swr_free(&swr);
        avcodec_free_context(&enc);
        if (out) {
            if (out->pb)
                avio_closep(&out->pb);
            avformat_free_context(out);
        }
    }

    bool fail(const std::string& what, int code = 0)
    {
        *error = code != 0 ? what + ": " + avError(code) : what;
        return false;
    }

    // Every packet the encoder has ready, into the file.
    bool drain()
    {
        for (;;) {
            const int ret = avcodec_receive_packet(enc, packet);
            if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
                return true;
            if (ret < 0)
                return fail("cannot encode", ret);
            av_packet_rescale_ts(packet, enc->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int written = av_interleaved_write_frame(out, packet);
            av_packet_unref(packet);
            if (written < 0)
                return fail("cannot write", written);
        }
    }

    // One frame of `samples` from the FIFO (padded with silence to `padTo` when that is larger).
    bool encodeFrame(int samples, int padTo)
    {
        av_frame_unref(frame);
        frame->nb_samples = std::max(samples, padTo);
        frame->format = enc->sample_fmt;
        frame->sample_rate = enc->sample_rate;
        if (av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout) < 0 || av_frame_get_buffer(frame, 0) < 0)
            return fail("out of memory");
        if (frame->nb_samples > samples)
            av_samples_set_silence(frame->extended_data, 0, frame->nb_samples, enc->ch_layout.nb_channels,
                                   enc->sample_fmt);
        if (av_audio_fifo_read(fifo, reinterpret_cast<void**>(frame->extended_data), samples) != samples)
            return fail("cannot read the sample queue");
        frame->pts = pts;
        pts += frame->nb_samples;
        const int ret = avcodec_send_frame(enc, frame);
        if (ret < 0)
            return fail("cannot encode", ret);
        return drain();
    }
};

}  // namespace

std::int64_t framesPerStep(std::int64_t lengthFrames)
{
    return std::max(kSmallStep, (lengthFrames + kMaxSteps - 1) / kMaxSteps);
}

EncodeResult encodeFile(const std::string& source, const std::string& output, const EncoderPlugin& plugin,
                        const EncodeProgress& progress, std::string* error)
{
    int openError = 0;
    std::unique_ptr<audiolib::FfmpegSource> input = audiolib::FfmpegSource::open(source, &openError);
    if (!input) {
        *error = "cannot read " + source + " (error " + std::to_string(openError) + ")";
        return EncodeResult::Failed;
    }
    const AVCodec* codec = avcodec_find_encoder_by_name(plugin.codec.c_str());
    if (codec == nullptr || codec->type != AVMEDIA_TYPE_AUDIO) {
        *error = "no audio encoder \"" + plugin.codec + "\"";
        return EncodeResult::Failed;
    }

    Encode e;
    e.error = error;
    int ret = avformat_alloc_output_context2(&e.out, nullptr, plugin.format.c_str(), nullptr);
    if (ret < 0 || e.out == nullptr)
        return e.fail("no container \"" + plugin.format + "\"", ret), EncodeResult::Failed;
    e.stream = avformat_new_stream(e.out, nullptr);
    e.enc = avcodec_alloc_context3(codec);
    e.packet = av_packet_alloc();
    e.frame = av_frame_alloc();
    if (!e.stream || !e.enc || !e.packet || !e.frame)
        return e.fail("out of memory"), EncodeResult::Failed;

    const int channels = plugin.channels > 0 ? plugin.channels : input->channels();
    e.enc->sample_rate = chooseRate(codec, plugin.sampleRate > 0 ? plugin.sampleRate : input->rateHz());
    av_channel_layout_default(&e.enc->ch_layout, channels);
    e.enc->sample_fmt = chooseFormat(codec);
    e.enc->time_base = AVRational{1, e.enc->sample_rate};
    if (plugin.bitrate > 0)
        e.enc->bit_rate = plugin.bitrate;
    if (plugin.quality >= 0) {
        e.enc->flags |= AV_CODEC_FLAG_QSCALE;
        e.enc->global_quality = static_cast<int>(FF_QP2LAMBDA * plugin.quality);
    }
    if (e.out->oformat->flags & AVFMT_GLOBALHEADER)
        e.enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if ((ret = avcodec_open2(e.enc, codec, nullptr)) < 0)
        return e.fail("cannot open the encoder " + plugin.codec, ret), EncodeResult::Failed;
    if ((ret = avcodec_parameters_from_context(e.stream->codecpar, e.enc)) < 0)
        return e.fail("cannot set up the stream", ret), EncodeResult::Failed;
    e.stream->time_base = e.enc->time_base;

    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    ret = avio_open2(&e.out->pb, ("file:" + output).c_str(), AVIO_FLAG_WRITE, nullptr, &options);
    av_dict_free(&options);
    if (ret < 0)
        return e.fail("cannot create " + output, ret), EncodeResult::Failed;
    if ((ret = avformat_write_header(e.out, nullptr)) < 0)
        return e.fail("cannot write the header", ret), EncodeResult::Failed;

    AVChannelLayout inLayout;
    av_channel_layout_default(&inLayout, input->channels());
    ret = swr_alloc_set_opts2(&e.swr, &e.enc->ch_layout, e.enc->sample_fmt, e.enc->sample_rate, &inLayout,
                              AV_SAMPLE_FMT_FLT, input->rateHz(), 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    if (ret < 0 || (ret = swr_init(e.swr)) < 0)
        return e.fail("cannot convert the samples", ret), EncodeResult::Failed;
    e.fifo = av_audio_fifo_alloc(e.enc->sample_fmt, channels, 1);
    if (e.fifo == nullptr)
        return e.fail("out of memory"), EncodeResult::Failed;

    const bool variable = (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) || e.enc->frame_size <= 0;
    const int frameSize = variable ? kVariableFrame : e.enc->frame_size;
    const bool smallLast = variable || (codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);

    const std::int64_t length = std::max<std::int64_t>(input->lengthFrames(), 0);
    const std::int64_t perStep = framesPerStep(length);
    const std::int64_t steps = std::max<std::int64_t>(1, (length + perStep - 1) / perStep);
    if (progress.started && !progress.started(steps))
        return EncodeResult::Aborted;

    std::vector<float> pcm(static_cast<std::size_t>(perStep * input->channels()));
    const int outCapacity = static_cast<int>(swr_get_out_samples(e.swr, static_cast<int>(perStep))) + 256;
    std::uint8_t** converted = nullptr;
    if (av_samples_alloc_array_and_samples(&converted, nullptr, channels, outCapacity, e.enc->sample_fmt, 0) < 0)
        return e.fail("out of memory"), EncodeResult::Failed;
    struct Release {
        std::uint8_t*** p;
        ~Release()
        {
            if (*p)
                av_freep(&(*p)[0]);
            av_freep(p);
        }
    } release{&converted};

    auto queue = [&](const std::uint8_t** in, int frames) {
        const int made = swr_convert(e.swr, converted, outCapacity, in, frames);
        if (made < 0)
            return e.fail("cannot convert the samples", made);
        if (made > 0 && av_audio_fifo_write(e.fifo, reinterpret_cast<void**>(converted), made) != made)
            return e.fail("out of memory");
        while (av_audio_fifo_size(e.fifo) >= frameSize)
            if (!e.encodeFrame(frameSize, 0))
                return false;
        return true;
    };

    for (std::int64_t done = 1;; ++done) {
        const int frames = input->read(pcm.data(), static_cast<int>(perStep), nullptr);
        if (frames <= 0)
            break;
        const auto* in = reinterpret_cast<const std::uint8_t*>(pcm.data());
        if (!queue(&in, frames))
            return EncodeResult::Failed;
        if (progress.step && !progress.step(std::min(done, steps)))
            return EncodeResult::Aborted;
    }
    // What the converter still holds, then the last short frame.
    if (!queue(nullptr, 0))
        return EncodeResult::Failed;
    if (const int rest = av_audio_fifo_size(e.fifo); rest > 0 && !e.encodeFrame(rest, smallLast ? 0 : frameSize))
        return EncodeResult::Failed;
    if ((ret = avcodec_send_frame(e.enc, nullptr)) < 0)
        return e.fail("cannot finish the encode", ret), EncodeResult::Failed;
    if (!e.drain())
        return EncodeResult::Failed;
    if ((ret = av_write_trailer(e.out)) < 0)
        return e.fail("cannot finish " + output, ret), EncodeResult::Failed;
    if ((ret = avio_closep(&e.out->pb)) < 0)
        return e.fail("cannot write " + output, ret), EncodeResult::Failed;
    return EncodeResult::Done;
}

}  // namespace encoder
