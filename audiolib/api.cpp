// The public calls: argument checks, handle look-ups and the calling thread's error.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "audiolib/audiolib.h"
#include "audiolib/cdsource.h"
#include "audiolib/config.h"
#include "audiolib/dsp/bpmdetector.h"
#include "audiolib/dsp/effect.h"
#include "audiolib/ffmpegsource.h"
#include "audiolib/library.h"
#include "audiolib/paoutput.h"
#include "audiolib/fftanalyzer.h"
#include "audiolib/temposource.h"
#include "audiolib/usersource.h"

namespace audiolib {

namespace {

constexpr std::uint32_t kVersion = (1u << 16) | 1u;  // 1.1: low word major, high word minor

Library& lib() { return Library::instance(); }

bool fail(int error)
{
    setLastError(error);
    return false;
}

template <typename T>
T failWith(int error, T value)
{
    setLastError(error);
    return value;
}

bool ok()
{
    setLastError(kOk);
    return true;
}

std::shared_ptr<Channel> channelOrFail(Handle h)
{
    auto ch = lib().channel(h);
    if (!ch)
        setLastError(kErrorHandle);
    return ch;
}

constexpr std::uint32_t kKnownStreamFlags =
    kSample8Bits | kSampleFloat | kStreamCd | kStreamDecode | kSpeakerFront | kSpeakerRear;

std::uint32_t sampleFlags(std::uint32_t flags) { return flags & kKnownStreamFlags; }

// Frame counts from seconds are bounded by this before they are converted to 64 bits.
constexpr double kMaxFrames = 9.0e18;

}  // namespace

// ---- Devices ------------------------------------------------------------------------------------

bool initDevice(int device, int rateHz, std::uint32_t, platform::WindowHandle window)
{
    int err = kOk;
    return lib().initDevice(device, rateHz, window, &err) ? ok() : fail(err);
}

bool freeDevice()
{
    int err = kOk;
    return lib().freeDevice(&err) ? ok() : fail(err);
}

bool setDevice(int device)
{
    int err = kOk;
    return lib().selectDevice(device, &err) ? ok() : fail(err);
}

int getDevice()
{
    const int n = lib().selectedNumber();
    if (n < 0)
        return failWith(kErrorNotInitialised, -1);
    setLastError(kOk);
    return n;
}

bool stopDevice()
{
    int err = kOk;
    auto dev = lib().selectedDevice(&err);
    if (!dev)
        return fail(err);
    dev->pauseOutput(true);
    return ok();
}

bool startDevice()
{
    int err = kOk;
    auto dev = lib().selectedDevice(&err);
    if (!dev)
        return fail(err);
    dev->pauseOutput(false);
    return ok();
}

bool getDeviceInfo(DeviceInfo* info)
{
    if (!info)
        return fail(kErrorParameter);
    int err = kOk;
    auto dev = lib().selectedDevice(&err);
    if (!dev)
        return fail(err);
    info->minRateHz = 8000;
    info->maxRateHz = 192000;
    info->speakers = dev->outChannels();
    info->latencyMs = dev->latencyMs();
    info->currentRateHz = dev->rateHz();
    info->name = dev->name();
    return ok();
}

bool getDeviceStatus(int device, DeviceStatus* status)
{
    if (!status)
        return fail(kErrorParameter);
    int err = kOk;
    return lib().deviceStatus(device, status, &err) ? ok() : fail(err);
}

std::string deviceName(int device)
{
    if (device == kDeviceNoSound) {
        setLastError(kOk);
        return "No sound";
    }
    if (device < 0)
        return failWith(kErrorDevice, std::string());
    const auto outputs = portAudioOutputs();
    if (std::size_t(device - 1) >= outputs.size())
        return failWith(kErrorDevice, std::string());
    setLastError(kOk);
    return device == kDeviceDefault ? "Default" : outputs[std::size_t(device - 1)].name;
}

// ---- Options ------------------------------------------------------------------------------------

bool setConfig(int option, int value)
{
    switch (option) {
    case kOptionBufferMs:
        config().bufferMs.store(std::clamp(value, 10, 5000));
        return ok();
    case kOptionStreamVolume:
        if (value < 0 || value > 100)
            return fail(kErrorParameter);
        config().streamVolume.store(value);
        return ok();
    case kOptionLogCurve:
        config().logCurve.store(value ? 1 : 0);
        return ok();
    default:
        return fail(kErrorParameter);
    }
}

int getConfig(int option)
{
    switch (option) {
    case kOptionBufferMs: setLastError(kOk); return config().bufferMs.load();
    case kOptionStreamVolume: setLastError(kOk); return config().streamVolume.load();
    case kOptionLogCurve: setLastError(kOk); return config().logCurve.load();
    default: return failWith(kErrorParameter, -1);
    }
}

float volumeToGain(int volume)
{
    volume = std::clamp(volume, 0, 100);
    if (volume == 0)
        return 0.0f;
    if (config().logCurve.load(std::memory_order_relaxed))
        return std::pow(10.0f, float(volume - 100) / 50.0f);
    return float(volume) / 100.0f;
}

float getCpu()
{
    int err = kOk;
    auto dev = lib().selectedDevice(&err);
    if (!dev)
        return failWith(err, 0.0f);
    setLastError(kOk);
    return dev->cpuPercent();
}

std::uint32_t getVersion()
{
    setLastError(kOk);
    return kVersion;
}

// ---- Streams ------------------------------------------------------------------------------------

namespace {

// Opens a source with open(path, &err) and makes a channel of it on the calling thread's device
// (decode-only streams need no device).
template <typename Open>
Handle createSourceStream(Open open, const std::string& path, std::uint32_t flags)
{
    int err = kOk;
    if (!(flags & kStreamDecode)) {
        auto dev = lib().selectedDevice(&err);
        if (!dev)
            return failWith(err, Handle(0));
        if ((flags & kSpeakerRear) && dev->outChannels() < 4)
            return failWith(kErrorSpeaker, Handle(0));
    }
    auto src = open(path, &err);
    if (!src)
        return failWith(err, Handle(0));
    const Handle h = lib().addChannel(std::move(src), sampleFlags(flags), &err);
    if (!h)
        return failWith(err, Handle(0));
    setLastError(kOk);
    return h;
}

}  // namespace

Handle streamCreateFile(const std::string& path, std::uint32_t flags)
{
    return createSourceStream(&FfmpegSource::open, path, flags);
}

Handle wmaStreamCreateFile(const std::string& path, std::uint32_t flags) { return streamCreateFile(path, flags); }

Handle cdStreamCreateFile(const std::string& path, std::uint32_t flags)
{
    return createSourceStream(&CdSource::open, path, flags);
}

Handle streamCreate(int rateHz, int channels, std::uint32_t flags, StreamProc proc, void* user)
{
    if (!proc || rateHz < 1000 || rateHz > 192000 || channels < 1 || channels > 2)
        return failWith(kErrorParameter, Handle(0));
    int err = kOk;
    auto src = std::make_unique<UserSource>(rateHz, channels, flags, proc, user);
    UserSource* user_ = src.get();
    const Handle h = lib().addChannel(std::move(src), sampleFlags(flags), &err);
    if (!h)
        return failWith(err, Handle(0));
    user_->setHandle(h);  // before anything can read it: reading starts with play()
    setLastError(kOk);
    return h;
}

bool streamFree(Handle stream)
{
    if (!lib().channel(stream))
        return fail(kErrorHandle);
    lib().freeChannel(stream);
    return ok();
}

// ---- Channels -----------------------------------------------------------------------------------

bool play(Handle channel, bool restart)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    int err = kOk;
    if (!ch->play(restart, &err))
        return fail(err);
    lib().wakeFeeder();
    return ok();
}

bool preBuffer(Handle channel)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    if (ch->decodeOnly())
        return fail(kErrorDecodeStream);
    ch->fill(ch->targetBufferFrames());
    return ok();
}

bool pause(Handle channel)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    if (ch->decodeOnly())
        return fail(kErrorDecodeStream);
    if (ch->activeState() == kStopped)
        return fail(kErrorNotAvailable);
    ch->pause();
    return ok();
}

bool resume(Handle channel) { return play(channel, false); }

bool stop(Handle channel)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    ch->stop();
    return ok();
}

int isActive(Handle channel)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return kStopped;
    setLastError(kOk);
    if (ch->decodeOnly())
        return ch->decodeActive() ? kPlaying : kStopped;
    return ch->activeState();
}

std::int64_t getLength(Handle channel)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return -1;
    if (ch->lengthFrames() < 0)
        return failWith(kErrorNotAvailable, std::int64_t(-1));
    setLastError(kOk);
    return ch->lengthFrames() * ch->bytesPerFrame();
}

std::int64_t getPosition(Handle channel)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return -1;
    setLastError(kOk);
    return ch->positionFrames() * ch->bytesPerFrame();
}

bool setPosition(Handle channel, std::int64_t posBytes)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    if (posBytes < 0)
        return fail(kErrorPosition);
    // Whole frames only, so that left and right never swap.
    if (!ch->setPositionFrames(posBytes / ch->bytesPerFrame()))
        return fail(kErrorPosition);
    lib().wakeFeeder();
    return ok();
}

double bytesToSeconds(Handle channel, std::int64_t bytes)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return -1.0;
    setLastError(kOk);
    return double(bytes) / (double(ch->bytesPerFrame()) * ch->sourceRate());
}

std::int64_t secondsToBytes(Handle channel, double seconds)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return -1;
    if (!std::isfinite(seconds) || seconds < 0)
        return failWith(kErrorParameter, std::int64_t(-1));
    const double frames = seconds * ch->sourceRate();
    // Past what a 64-bit byte count holds the conversion itself would overflow.
    if (frames >= kMaxFrames / ch->bytesPerFrame())
        return failWith(kErrorParameter, std::int64_t(-1));
    setLastError(kOk);
    return std::int64_t(frames) * ch->bytesPerFrame();
}

bool setAttributes(Handle channel, int rateHz, int volume, int pan)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    return ch->setAttributes(rateHz, volume, pan) ? ok() : fail(kErrorParameter);
}

bool getAttributes(Handle channel, int* rateHz, int* volume, int* pan)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    ch->attributes(rateHz, volume, pan);
    return ok();
}

bool getChannelInfo(Handle channel, ChannelInfo* info)
{
    if (!info)
        return fail(kErrorParameter);
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    int rate = 0;
    ch->attributes(&rate, nullptr, nullptr);
    info->rateHz = rate;
    info->channels = ch->sourceChannels();
    info->flags = ch->flags();
    info->bitsPerSample = ch->bytesPerSample() * 8;
    return ok();
}

std::int32_t getLevel(Handle channel)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return -1;
    if (ch->decodeOnly())
        return failWith(kErrorDecodeStream, -1);
    if (ch->activeState() != kPlaying && ch->activeState() != kStalled)
        return failWith(kErrorNotAvailable, -1);
    const int rate = ch->device() ? ch->device()->rateHz() : ch->sourceRate();
    float l = 0, r = 0;
    ch->peaks(rate / 50, &l, &r);
    const auto scale = [](float p) { return std::min(128, int(std::lround(p * 128.0f))); };
    setLastError(kOk);
    return std::int32_t(scale(l) | (scale(r) << 16));
}

std::int32_t getData(Handle channel, void* buffer, std::uint32_t lengthBytes)
{
    if (!buffer)
        return failWith(kErrorParameter, -1);
    auto ch = channelOrFail(channel);
    if (!ch)
        return -1;
    if (ch->decodeOnly()) {
        if (lengthBytes & kDataFft256)
            return failWith(kErrorNotAvailable, -1);
        const int got = ch->readDecoded(buffer, lengthBytes);
        if (got == 0 && lengthBytes >= std::uint32_t(ch->bytesPerFrame()))
            return failWith(kErrorEnded, -1);
        setLastError(kOk);
        return got;
    }
    if (lengthBytes & kDataFft256) {
        float heard[2 * kSpectrumFrames];
        ch->lastHeard(heard, kSpectrumFrames);
        spectrum256(heard, static_cast<float*>(buffer));
        setLastError(kOk);
        return 256 * 4;
    }
    // The last PCM heard, 16-bit stereo.
    const int frames = int(std::min<std::uint32_t>(lengthBytes / 4, Channel::kHistoryFrames));
    std::vector<float> heard(std::size_t(frames) * 2);
    ch->lastHeard(heard.data(), frames);
    auto* out = static_cast<std::int16_t*>(buffer);
    for (std::size_t i = 0; i < heard.size(); ++i)
        out[i] = std::int16_t(std::clamp(std::lrint(heard[i] * 32768.0f), -32768L, 32767L));
    setLastError(kOk);
    return frames * 4;
}

// ---- Syncs --------------------------------------------------------------------------------------

namespace {
bool validSyncType(std::uint32_t type)
{
    const std::uint32_t kind = type & 0xFFFF;
    return kind == kSyncPosition || kind == kSyncEnd;
}
}  // namespace

SyncHandle setSyncMessage(Handle channel, std::uint32_t type, std::int64_t param, std::uint32_t msg,
                          platform::LParam lParam)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return 0;
    if (!validSyncType(type) || ((type & 0xFFFF) == kSyncPosition && param < 0))
        return failWith(kErrorParameter, SyncHandle(0));
    const SyncHandle s = ch->addSync(type, param, true, msg, lParam, nullptr, nullptr);
    lib().registerFx(s, channel);
    setLastError(kOk);
    return s;
}

SyncHandle setSyncProc(Handle channel, std::uint32_t type, std::int64_t param, SyncProc proc, void* user)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return 0;
    if (!proc || !validSyncType(type) || ((type & 0xFFFF) == kSyncPosition && param < 0))
        return failWith(kErrorParameter, SyncHandle(0));
    const SyncHandle s = ch->addSync(type, param, false, 0, 0, proc, user);
    lib().registerFx(s, channel);
    setLastError(kOk);
    return s;
}

bool removeSync(Handle channel, SyncHandle sync)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    if (!ch->removeSync(sync))
        return fail(kErrorHandle);
    lib().unregisterFx(sync);
    return ok();
}

// ---- Effects ------------------------------------------------------------------------------------

namespace {

FxHandle addEffect(Handle channel, int kind, int priority)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return 0;
    if (ch->decodeOnly())
        return failWith(kErrorDecodeStream, FxHandle(0));
    auto effect = dsp::createEffect(kind);
    if (!effect)
        return failWith(kErrorFxKind, FxHandle(0));
    effect->prepare(ch->device() ? ch->device()->rateHz() : ch->sourceRate(), 2);
    const FxHandle fx = ch->addEffect(std::move(effect), kind, priority);
    lib().registerFx(fx, channel);
    setLastError(kOk);
    return fx;
}

bool removeEffect(Handle channel, FxHandle fx)
{
    auto ch = channelOrFail(channel);
    if (!ch)
        return false;
    if (!ch->removeChainEntry(fx))
        return fail(kErrorHandle);
    lib().unregisterFx(fx);
    return ok();
}

bool effectParameters(FxHandle fx, const void* in, void* out, std::size_t size)
{
    if ((!in && !out))
        return fail(kErrorParameter);
    auto ch = lib().channelOfFx(fx);
    if (!ch)
        return fail(kErrorHandle);
    // Shared: a removal on another thread meanwhile cannot free it under us.
    std::shared_ptr<dsp::Effect> e = ch->effect(fx);
    if (!e)
        return fail(kErrorHandle);
    const bool done = in ? e->setParameters(in, size) : e->getParameters(out, size);
    return done ? ok() : fail(kErrorParameter);
}

}  // namespace

FxHandle setFx(Handle channel, int kind) { return addEffect(channel, kind, 0); }
bool removeFx(Handle channel, FxHandle fx) { return removeEffect(channel, fx); }
bool fxSetParameters(FxHandle fx, const void* record, std::size_t size)
{
    return effectParameters(fx, record, nullptr, size);
}
bool fxGetParameters(FxHandle fx, void* record, std::size_t size) { return effectParameters(fx, nullptr, record, size); }

FxHandle setDspFx(Handle channel, int kind, int priority) { return addEffect(channel, kind, priority); }
bool dspFxSetParameters(FxHandle fx, const void* record, std::size_t size)
{
    return effectParameters(fx, record, nullptr, size);
}
bool dspFxGetParameters(FxHandle fx, void* record, std::size_t size)
{
    return effectParameters(fx, nullptr, record, size);
}
bool removeDspFx(Handle channel, FxHandle fx) { return removeEffect(channel, fx); }

DspHandle setDsp(Handle channel, DspProc proc, void* user, int priority)
{
    if (!proc)
        return failWith(kErrorParameter, DspHandle(0));
    auto ch = channelOrFail(channel);
    if (!ch)
        return 0;
    if (ch->decodeOnly())
        return failWith(kErrorDecodeStream, DspHandle(0));
    const DspHandle d = ch->addDsp(proc, user, priority);
    lib().registerFx(d, channel);
    setLastError(kOk);
    return d;
}

bool removeDsp(Handle channel, DspHandle dsp) { return removeEffect(channel, dsp); }

// ---- Tempo --------------------------------------------------------------------------------------

Handle tempoCreate(Handle decodeStream, std::uint32_t flags)
{
    auto input = channelOrFail(decodeStream);
    if (!input)
        return 0;
    if (!input->decodeOnly())
        return failWith(kErrorNotDecodeStream, Handle(0));
    if (input->tempoOwner() || input->tempoInput())
        return failWith(kErrorParameter, Handle(0));  // one tempo stream per decode stream
    int err = kOk;
    auto dev = lib().selectedDevice(&err);
    if (!dev)
        return failWith(err, Handle(0));
    if ((flags & kSpeakerRear) && dev->outChannels() < 4)
        return failWith(kErrorSpeaker, Handle(0));
    auto src = std::make_unique<TempoSource>(input);
    TempoSource* tempo = src.get();
    const std::uint32_t f = (input->flags() & (kSample8Bits | kSampleFloat)) | (flags & (kSpeakerFront | kSpeakerRear));
    const Handle h = lib().addChannel(std::move(src), f, &err, input, tempo);
    if (!h)
        return failWith(err, Handle(0));
    setLastError(kOk);
    return h;
}

Handle tempoGetResampledHandle(Handle tempoStream)
{
    if (!lib().tempoSource(tempoStream))
        return failWith(kErrorHandle, Handle(0));
    setLastError(kOk);
    return tempoStream;
}

bool tempoSet(Handle tempoStream, float tempoPercent, int rateHz, float pitchSemitones)
{
    TempoSource* t = lib().tempoSource(tempoStream);
    auto ch = lib().channel(tempoStream);
    if (!t || !ch)
        return fail(kErrorHandle);
    t->set(tempoPercent, rateHz, pitchSemitones);
    return ok();
}

bool tempoGet(Handle tempoStream, float* tempoPercent, int* rateHz, float* pitchSemitones)
{
    // The channel owns the tempo source: held here, a free on another thread cannot delete it.
    auto ch = lib().channel(tempoStream);
    TempoSource* t = ch ? lib().tempoSource(tempoStream) : nullptr;
    if (!t)
        return fail(kErrorHandle);
    t->get(tempoPercent, rateHz, pitchSemitones);
    return ok();
}

bool tempoFree(Handle tempoStream)
{
    if (!lib().tempoSource(tempoStream))
        return fail(kErrorHandle);
    lib().freeChannel(tempoStream);
    return ok();
}

float tempoGetApproxPercents(Handle tempoStream)
{
    auto ch = lib().channel(tempoStream);
    TempoSource* t = ch ? lib().tempoSource(tempoStream) : nullptr;
    if (!t)
        return failWith(kErrorHandle, -1.0f);
    setLastError(kOk);
    return t->speedPercent();
}

Handle tempoGetSource(Handle tempoStream)
{
    auto ch = lib().channel(tempoStream);
    if (!ch || !ch->tempoInput())
        return failWith(kErrorHandle, Handle(0));
    setLastError(kOk);
    return ch->tempoInput()->handle();
}

// ---- BPM ----------------------------------------------------------------------------------------

float bpmDecodeGet(Handle decodeStream, double startSeconds, double endSeconds, std::uint32_t minMaxBpm,
                   std::uint32_t)
{
    auto ch = channelOrFail(decodeStream);
    if (!ch)
        return -1.0f;
    if (!ch->decodeOnly())
        return failWith(kErrorNotDecodeStream, -1.0f);
    if (!std::isfinite(startSeconds) || !std::isfinite(endSeconds) || startSeconds < 0 || endSeconds <= startSeconds)
        return failWith(kErrorParameter, -1.0f);
    // An end far past the track measures to its end (bounded before converting to frames).
    const std::int64_t from = std::int64_t(std::min(startSeconds * ch->sourceRate(), kMaxFrames));
    std::int64_t to = std::int64_t(std::min(endSeconds * ch->sourceRate(), kMaxFrames));
    if (ch->lengthFrames() >= 0)
        to = std::min(to, ch->lengthFrames());
    if (from >= to || !ch->setPositionFrames(from))
        return failWith(kErrorPosition, -1.0f);
    dsp::BpmDetector detector(ch->sourceRate(), ch->sourceChannels(), float(minMaxBpm & 0xFFFF),
                              float(minMaxBpm >> 16));
    std::vector<float> buf(std::size_t(4096) * ch->sourceChannels());
    std::int64_t pos = from;
    while (pos < to) {
        const int want = int(std::min<std::int64_t>(4096, to - pos));
        const int got = ch->readFloat(buf.data(), want);
        if (got <= 0)
            break;
        detector.putFrames(buf.data(), got);
        pos += got;
    }
    const float bpm = detector.bpm();
    lib().setBpm(decodeStream, bpm);
    setLastError(kOk);
    return bpm;
}

float bpmPercentsToBpm(Handle decodeStream, float percents)
{
    if (!lib().channel(decodeStream))
        return failWith(kErrorHandle, -1.0f);
    bool known = false;
    const float bpm = lib().bpm(decodeStream, &known);
    setLastError(kOk);
    return known ? dsp::BpmDetector::convertForTempo(bpm, percents) : 0.0f;
}

bool bpmFree(Handle decodeStream)
{
    if (!lib().channel(decodeStream))
        return fail(kErrorHandle);
    lib().forgetBpm(decodeStream);
    return ok();
}

// ---- Test modes ---------------------------------------------------------------------------------

bool setManualClock(bool on)
{
    lib().manualClock.store(on);
    return ok();
}

bool manualClock()
{
    setLastError(kOk);
    return lib().manualClock.load();
}

bool advance(std::uint32_t frames, float* mixOut)
{
    int err = kOk;
    auto dev = lib().selectedDevice(&err);
    if (!dev)
        return fail(err);
    if (!dev->manual())
        return fail(kErrorNotAvailable);
    dev->advance(frames, mixOut);
    return ok();
}

std::int64_t renderedFrames()
{
    int err = kOk;
    auto dev = lib().selectedDevice(&err);
    if (!dev)
        return failWith(err, std::int64_t(-1));
    setLastError(kOk);
    return dev->renderedFrames();
}

bool setRenderFile(const std::string& path)
{
    int err = kOk;
    auto dev = lib().selectedDevice(&err);
    if (!dev)
        return fail(err);
    if (!dev->noSound())
        return fail(kErrorNotAvailable);
    return dev->setRenderFile(path) ? ok() : fail(kErrorFileOpen);
}

}  // namespace audiolib
