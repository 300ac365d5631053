// The audio library's public interface: output devices, streams (files, CD tracks, user streams,
// tempo streams), channel control, syncs, effects and DSP procedures, BPM, recording, test modes.
// Handle based; every call sets the calling thread's error (audiolib/errors.h), 0 on success.
// All calls are thread-safe: the user-interface thread and a timer thread may call at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audiolib/errors.h"
#include "platform/window.h"

namespace audiolib {

// A stream (= channel), a tempo stream, or a recording. 0 is never a valid handle.
using Handle = std::uint32_t;
// An effect or DSP-by-number on a channel (setFx / setDspFx) or a user DSP procedure (setDsp).
using FxHandle = std::uint32_t;
using DspHandle = std::uint32_t;
using SyncHandle = std::uint32_t;

// ---- Flags -------------------------------------------------------------------------------------

// Stream creation flags (may be combined).
constexpr std::uint32_t kSample8Bits = 0x1;        // the stream's PCM is 8-bit unsigned
constexpr std::uint32_t kSampleFloat = 0x100;      // the stream's PCM is 32-bit float
constexpr std::uint32_t kStreamCd = 0x10000;       // accepted on CD streams; no effect elsewhere
constexpr std::uint32_t kStreamDecode = 0x200000;  // decode only: read with getData, never played
constexpr std::uint32_t kSpeakerFront = 0x1000000;  // front pair of a 4+ channel device
constexpr std::uint32_t kSpeakerRear = 0x2000000;   // rear pair; fails with kErrorSpeaker on stereo
// Without kSample8Bits/kSampleFloat a stream's PCM is 16-bit signed; lengths and positions count
// bytes of that PCM at the source's own rate and channel count.

// getData: OR into the length to ask for 256 FFT magnitudes (1024 bytes of float) instead of PCM.
constexpr std::uint32_t kDataFft256 = 0x80000000u;

// Device init flags are accepted and ignored (any value).

// ---- Devices -----------------------------------------------------------------------------------

constexpr int kDeviceNoSound = 0;  // a clock thread consumes the mix (test modes below)
constexpr int kDeviceDefault = 1;  // the system's default output; 2.. the other outputs

// Environment variables, read by initDevice:
//   QUORVALEN_NOSOUND=1            every device number opens as a "no sound" device
//   QUORVALEN_NOSOUND_WAV=<path>   the first "no sound" device opened also writes its mix to this
//                                  16-bit stereo WAV, in real time
//   QUORVALEN_MANUAL_CLOCK=1       "no sound" devices run no clock: nothing moves until advance()

// Opens the output device at the given rate (Hz); sync messages of channels created on this device
// are posted to window. Selects the device for the calling thread. False: kErrorDevice (a negative
// number), kErrorAlreadyInitialised, kErrorParameter, kErrorSameOutput (the device plays to the
// same output as a device already open under another number, as ALSA's "default" and "pulse" do
// on a PulseAudio system).
// A device that cannot be opened now (not listed, or the system refuses it) is no failure: it is
// initialised standing in (kDeviceStandIn), a clock consuming its mix in real time as on the "no
// sound" device, and opened as soon as it answers. The library watches every real device's
// output: one that stops (its stream ended, or no more requests for sound) is noticed within a
// second (kDeviceLost), and nothing is mixed until it is open again, so that positions stay
// where they were heard and every playing stream goes on from there. Devices that wait are tried
// again every half second, the system's list of outputs read anew while none of ours is open.
bool initDevice(int device, int rateHz, std::uint32_t flags, platform::WindowHandle window);
// Frees the calling thread's selected device and every stream created on it.
bool freeDevice();
// Selects the device used by this thread's later calls. Per thread: a thread that never selected
// one uses the device initialised last.
bool setDevice(int device);
// The calling thread's selected device, -1 (kErrorNotInitialised) when it is not initialised.
int getDevice();
// Stops the selected device's output: every channel on it is paused (startDevice() resumes it).
bool stopDevice();
// Restarts the output of the selected device after stopDevice().
bool startDevice();

struct DeviceInfo {
    int minRateHz = 0;  // lowest output rate the device takes
    int maxRateHz = 0;
    int speakers = 0;   // output channels: 2 stereo, 4 quad...
    int latencyMs = 0;  // what is mixed now is heard this much later (positions follow it)
    int currentRateHz = 0;
    std::string name;
};
// Information about the calling thread's selected (initialised) device.
bool getDeviceInfo(DeviceInfo* info);
// Name of device number n (0 "No sound", 1 "Default"), or "" past the last device (kErrorDevice).
std::string deviceName(int device);

enum DeviceState : int {
    kDeviceOpen = 0,     // its output plays the mix (every "no sound" device is open)
    kDeviceLost = 1,     // its output stopped: nothing is mixed until it answers again
    kDeviceStandIn = 2,  // it could not be opened yet: its mix goes to a clock, as on "no sound"
};
struct DeviceStatus {
    int state = kDeviceOpen;
    std::string name;     // the output's name as the system lists it; "" while it is not known
    std::string why;      // why it is lost or not open, in a few words; "" while open
    int latencyMs = 0;    // what is mixed now is heard this much later
    bool realtime = false;  // the thread that pulls its mix runs with real-time scheduling
    std::uint32_t changes = 0;  // counts every loss and every reopening since its init
};
// The state of initialised device n (any thread's, not only the selected one); false with
// kErrorNotInitialised.
bool getDeviceStatus(int device, DeviceStatus* status);

// ---- Options -----------------------------------------------------------------------------------

enum Option : int {
    kOptionBufferMs = 0,      // ms of PCM decoded ahead per channel; 10..5000, default 500
    kOptionStreamVolume = 5,  // global stream volume 0..100 applied to every stream, default 100
    kOptionLogCurve = 7,      // volume curve: 0 linear, 1 logarithmic; default 0
};
bool setConfig(int option, int value);
// -1 with kErrorParameter for an unknown option.
int getConfig(int option);

// Gain for a volume 0..100 under the volume curve in force (linear: v/100; logarithmic: 0 for 0,
// else 10^((v-100)/50), i.e. 2 dB per 5 steps and -40 dB at 1).
float volumeToGain(int volume);

// Mixer load: share of real time spent mixing, in percent (0..100+).
float getCpu();
// Version: low word major, high word minor.
std::uint32_t getVersion();

// ---- Streams -----------------------------------------------------------------------------------

// A file stream (MP3, WAV, Ogg Vorbis, WMA and whatever else FFmpeg reads). Decoding starts ahead
// at once unless kStreamDecode. 0 on failure (kErrorFileOpen, kErrorFormat, kErrorCodec,
// kErrorSpeaker, kErrorNotInitialised).
Handle streamCreateFile(const std::string& path, std::uint32_t flags);
// The same, for callers that open WMA through its own call; identical behaviour.
Handle wmaStreamCreateFile(const std::string& path, std::uint32_t flags);
// A CD audio track: path ".../TrackNN.cda" whose folder is a drive (device node, mount point of an
// audio CD) or a .cue/.bin disc image. 44100 Hz, 2 channels. 0 on failure (kErrorCdTrack...).
Handle cdStreamCreateFile(const std::string& path, std::uint32_t flags);

// Fills buffer with up to lengthBytes of PCM in the stream's format (whole frames); returns the
// byte count written, OR kStreamProcEnd when the stream ends after these bytes. Called on the
// library's decoding thread (or inline under the manual clock); never while the caller holds
// a library lock.
using StreamProc = std::uint32_t (*)(Handle stream, void* buffer, std::uint32_t lengthBytes, void* user);
constexpr std::uint32_t kStreamProcEnd = 0x80000000u;
// A stream fed by proc; 16-bit unless kSample8Bits/kSampleFloat. 0 on failure.
Handle streamCreate(int rateHz, int channels, std::uint32_t flags, StreamProc proc, void* user);

// Frees a stream (stops it first; also frees its effects, syncs and DSPs).
bool streamFree(Handle stream);

// ---- Channels ----------------------------------------------------------------------------------

// Starts or resumes a channel; restart=true plays from the beginning and discards what was
// buffered. A decode-only stream fails with kErrorDecodeStream.
bool play(Handle channel, bool restart);
// Decodes ahead, as far as the buffer goes, a stream that has not started yet: play() then reads
// no file on the calling thread (a start prepared elsewhere). kErrorDecodeStream for decode-only.
bool preBuffer(Handle channel);
bool pause(Handle channel);
bool resume(Handle channel);  // play(channel, false)
// Stops: nothing more is heard; the position stays where it was heard.
bool stop(Handle channel);

enum ActiveState : int { kStopped = 0, kPlaying = 1, kStalled = 2, kPaused = 3 };
// kStopped also for an invalid handle (kErrorHandle) and for a stream that has played to its end.
int isActive(Handle channel);

// Length of the source PCM in bytes; -1 on failure (kErrorNotAvailable for user streams).
std::int64_t getLength(Handle channel);
// Position in bytes of the source PCM: of a playing channel the position being heard; of a
// decode-only stream the read position, or, when it feeds a tempo stream, what has been heard
// through that tempo stream. -1 on failure.
std::int64_t getPosition(Handle channel);
// Moves the position (rounded down to a whole frame). On a decode stream that feeds a tempo stream
// the tempo processing and everything buffered are flushed. kErrorPosition past the end.
bool setPosition(Handle channel, std::int64_t posBytes);
double bytesToSeconds(Handle channel, std::int64_t bytes);  // <0 on failure
std::int64_t secondsToBytes(Handle channel, double seconds);  // whole frames; -1 on failure

// Sentinels of setAttributes: leave that attribute as it is.
constexpr int kRateUnchanged = -1;
constexpr int kVolumeUnchanged = -1;
constexpr int kPanUnchanged = -101;
// rate: playback rate in Hz (100..192000; plays faster or slower), volume 0..100, pan -100 (left)
// .. 100 (right). Out-of-range values fail with kErrorParameter and change nothing.
bool setAttributes(Handle channel, int rateHz, int volume, int pan);
// Any pointer may be null.
bool getAttributes(Handle channel, int* rateHz, int* volume, int* pan);

struct ChannelInfo {
    std::int32_t rateHz;       // current rate (first field, as callers expect)
    std::int32_t channels;     // of the source PCM
    std::uint32_t flags;       // creation flags
    std::int32_t bitsPerSample;  // 8, 16 or 32 (float)
};
static_assert(sizeof(ChannelInfo) == 16);
bool getChannelInfo(Handle channel, ChannelInfo* info);

// Peak level of what was heard over the last ~20 ms: low word left, high word right, each 0..128
// (full scale = 128); -1 on failure. Levels are taken after effects, before volume and pan.
std::int32_t getLevel(Handle channel);

// On a playing channel: lengthBytes | kDataFft256 writes 256 FFT magnitudes (floats, a full-scale
// sine centred on a bin reads ~1.0, silence 0) of the last 512 frames heard (mono mix, Hann
// window); otherwise the last lengthBytes of PCM heard, 16-bit stereo. On a decode-only stream:
// reads and consumes up to lengthBytes of the stream's PCM. Returns the bytes written, -1 on
// failure (kErrorEnded when a decode stream has nothing left).
std::int32_t getData(Handle channel, void* buffer, std::uint32_t lengthBytes);

// ---- Syncs -------------------------------------------------------------------------------------

constexpr std::uint32_t kSyncPosition = 0x0;         // param = byte position in the source PCM
constexpr std::uint32_t kSyncEnd = 0x2;              // param unused
constexpr std::uint32_t kSyncMessage = 0x20000000u;  // informative (setSyncMessage implies it)
constexpr std::uint32_t kSyncOnce = 0x80000000u;     // removed after it fired once
// The message a deck's sync posts (the deck chooses; this is the usual one).
constexpr std::uint32_t kSyncMessageId = 0x46E;

// Called on the library's sync thread (or inline in advance() under the manual clock), never on
// the output callback and with no library lock held: it may stop or free its own channel.
using SyncProc = void (*)(SyncHandle sync, Handle channel, std::uint32_t data, void* user);

// Posts msg (wParam = channel, lParam = lParam) to the window the channel's device was initialised
// with when the sync fires: at the end (kSyncEnd: when the last sample is heard) or when the heard
// position reaches param bytes (kSyncPosition). type may include kSyncOnce and kSyncMessage.
SyncHandle setSyncMessage(Handle channel, std::uint32_t type, std::int64_t param, std::uint32_t msg,
                          platform::LParam lParam);
// The same, calling proc with user.
SyncHandle setSyncProc(Handle channel, std::uint32_t type, std::int64_t param, SyncProc proc, void* user);
bool removeSync(Handle channel, SyncHandle sync);

// ---- Effects and DSP ---------------------------------------------------------------------------

// Effect kinds (parameter records in audiolib/dsp/effectrecords.h).
constexpr int kFxCompressor = 1;  // CompressorParams
constexpr int kFxEcho = 3;        // EchoParams
constexpr int kFxPeakEq = 5;      // PeakEqParams, one per band
constexpr int kFxReverb = 8;      // ReverbParams
constexpr int kFxFlanger = 9;     // FlangerParams
constexpr int kFxEcho2 = 13;      // Echo2Params

// Everything on a channel (effects, DSP-by-number, user DSPs) runs in one chain, higher priority
// first, equal priorities in the order added; effects act on what is heard at once.

// An effect on a channel (any kind above), priority 0. 0 on failure (kErrorFxKind, kErrorHandle).
FxHandle setFx(Handle channel, int kind);
bool removeFx(Handle channel, FxHandle fx);
// Send / read the kind's parameter record; size must be the record's size (kErrorParameter).
bool fxSetParameters(FxHandle fx, const void* record, std::size_t size);
bool fxGetParameters(FxHandle fx, void* record, std::size_t size);

// The same effects added "by number" with a priority (the equaliser bands, flanger, second echo).
FxHandle setDspFx(Handle channel, int kind, int priority);
bool dspFxSetParameters(FxHandle fx, const void* record, std::size_t size);
bool dspFxGetParameters(FxHandle fx, void* record, std::size_t size);
bool removeDspFx(Handle channel, FxHandle fx);

// A user DSP procedure: gets the channel's block as interleaved 16-bit stereo and changes it in
// place; lengthBytes is a multiple of 4. Runs on the mixing thread: no allocation, no waiting.
using DspProc = void (*)(DspHandle dsp, Handle channel, void* buffer, std::uint32_t lengthBytes, void* user);
DspHandle setDsp(Handle channel, DspProc proc, void* user, int priority);
bool removeDsp(Handle channel, DspHandle dsp);

// ---- Tempo -------------------------------------------------------------------------------------

// A tempo stream over a decode-only stream (kStreamDecode): plays the source at a changed tempo,
// pitch and rate. flags: kSpeakerFront/kSpeakerRear. The source must stay alive; tempoFree or
// streamFree of the tempo stream leaves the source alone. 0 on failure.
Handle tempoCreate(Handle decodeStream, std::uint32_t flags);
// The handle that is played and carries volume, pan and effects (the tempo stream itself).
Handle tempoGetResampledHandle(Handle tempoStream);
// Sentinels of tempoSet.
constexpr float kTempoUnchanged = -100.0f;
constexpr int kTempoRateUnchanged = -1;
constexpr float kPitchUnchanged = -100.0f;
// tempo: percent change (-95..5000; 10 = 10 % faster, same pitch); rateHz: playback rate of the
// source (speed and pitch together; 0 = the source's own); pitch: semitones (-60..60).
bool tempoSet(Handle tempoStream, float tempoPercent, int rateHz, float pitchSemitones);
bool tempoGet(Handle tempoStream, float* tempoPercent, int* rateHz, float* pitchSemitones);
// Frees the tempo stream (not its source).
bool tempoFree(Handle tempoStream);
// How fast the tempo stream's output runs relative to its source, in percent (100 = unchanged,
// 110 = tempo +10 %); -1 on failure.
float tempoGetApproxPercents(Handle tempoStream);
// The decode stream a tempo stream reads, 0 on failure.
Handle tempoGetSource(Handle tempoStream);

// ---- BPM ---------------------------------------------------------------------------------------

// Measures the BPM of a decode-only stream between two times (seconds), keeps it as the stream's
// last measurement and returns it; minMaxBpm: low word minimum, high word maximum (0 = 60..200);
// flags are accepted and ignored. Reads the stream (its position moves). <0 on failure.
float bpmDecodeGet(Handle decodeStream, double startSeconds, double endSeconds, std::uint32_t minMaxBpm,
                   std::uint32_t flags);
// The stream's last measurement converted for a tempo change of percents (bpm * (100 + percents) /
// 100); 0 for a stream never measured; -1 for an invalid handle.
float bpmPercentsToBpm(Handle decodeStream, float percents);
// Forgets the stream's measurement.
bool bpmFree(Handle decodeStream);

// ---- Recording (implemented in audiolib/recording.cpp) -----------------------------------------

// Opens capture device n: 0 = the system's default capture device (the line input); falls back to
// a silent input when there is no capture device. Selects it for the calling thread.
bool recordInit(int device);
// Frees the calling thread's capture device and its captures.
bool recordFree();
// Starts a capture: 16-bit stereo at rateHz (44100), flags 0. Captured bytes queue until read.
Handle recordStart(int rateHz, std::uint32_t flags);
// Bytes captured and not yet read; -1 on failure.
std::int32_t recordAvailable(Handle capture);
// Moves up to lengthBytes captured bytes into buffer; returns bytes moved, -1 on failure.
std::int32_t recordRead(Handle capture, void* buffer, std::uint32_t lengthBytes);
bool recordStop(Handle capture);
// Input n of the capture device: top byte the type (kInputTypeLine...), bit 16 set when off,
// low word the volume 0..100; -1 past the last input (kErrorParameter).
constexpr std::uint32_t kInputTypeMask = 0xFF000000u;
constexpr std::uint32_t kInputTypeLine = 0x03000000u;
constexpr std::uint32_t kInputTypeUndefined = 0x00000000u;
constexpr std::int32_t kInputOffBit = 0x10000;
std::int32_t recordGetInput(int input);
std::string recordGetInputName(int input);
// setting: kInputOff or kInputOn, optionally OR a volume 0..100 in the low word (0 = keep).
constexpr std::uint32_t kInputOff = 0x10000;
constexpr std::uint32_t kInputOn = 0x20000;
bool recordSetInput(int input, std::uint32_t setting);

// ---- Test modes of the "no sound" device -------------------------------------------------------

// Switches the manual clock of "no sound" devices on or off (also QUORVALEN_MANUAL_CLOCK=1); takes
// effect for devices initialised afterwards. Under the manual clock nothing moves until advance().
bool setManualClock(bool on);
bool manualClock();
// Advances the calling thread's selected device, a "no sound" device under the manual clock:
// decodes what every playing channel needs (inline), mixes frames frames, moves the heard
// positions and fires the syncs due (messages posted, procedures called on this thread after the
// mix, in the order of their frames). mixOut, when given, receives the mix as interleaved float
// stereo (frames * 2 values). False when the device is not such a device.
bool advance(std::uint32_t frames, float* mixOut = nullptr);
// Frames the selected device has mixed since its init; -1 on failure.
std::int64_t renderedFrames();
// Renders the selected "no sound" device's mix into a 16-bit stereo WAV file from now on ("" stops;
// also QUORVALEN_NOSOUND_WAV). The header is completed every second and when rendering stops.
bool setRenderFile(const std::string& path);

}  // namespace audiolib
