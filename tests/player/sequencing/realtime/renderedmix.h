// The real player run on the "no sound" device with its mix written to a WAV, and the measures
// taken on that WAV: tone levels per short window, where a tone starts and ends, silent runs.
#pragma once

#include "tests/player/playerfixtures.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rendered {

constexpr int kRate = 44100;
// Tones far enough apart for 10 ms windows (a Hann window's main lobe is 400 Hz wide there).
inline const std::vector<double> kTones{500, 1250, 2000};
// A run of zero samples this long is silence: two sounding tones never cancel out for 1 ms.
constexpr std::size_t kSilentRunSamples = kRate / 1000;

// A mono 16-bit WAV: a sine of hz for toneSeconds at amplitude 16000, then silentSeconds of zeros.
std::string toneWav(double hz, double toneSeconds, double silentSeconds = 0, int rate = kRate);

struct Pcm {
    int rate = 0;
    int channels = 0;
    std::vector<float> left;  // the first channel
};

// The first channel of a 16-bit WAV, read up to the end of the file whatever its header says (the
// writer may not have finished it).
Pcm readWav(const std::string& bytes);

// Levels of a set of tones in blocks of blockMs every hopMs.
struct ToneTrack {
    int rate = 0;
    std::size_t block = 0;
    std::size_t hop = 0;
    std::vector<double> tones;
    std::vector<std::vector<double>> amp;  // amp[window][tone]
    double timeOf(std::size_t window) const;  // seconds of the window's centre
    std::size_t windowAt(double seconds) const;
    double peak(std::size_t tone) const;
    // The tone's level while it sounds: the median of the windows above half its peak (a tone's
    // start splashes a short burst into every band, so the peak itself lies too high).
    double steady(std::size_t tone) const;
};
ToneTrack trackTones(const Pcm& pcm, const std::vector<double>& tones, double blockMs, double hopMs);

// Centre times of the windows where tone first rises above half its peak after `after` seconds
// and keeps sounding for at least holdSeconds; one per separate sounding. An onset with blocks of
// 10 ms lies within about 2 ms of the tone's first sample.
std::vector<double> onsets(const ToneTrack& track, std::size_t tone, double holdSeconds);

// Where a tone that sounds from `onset` on is faded: the windows where it first falls below 90 %
// and then below 10 % of its steady level, which a linear fade passes at a tenth and at nine
// tenths of its length. A tone cut off without a fade falls in about one window. Negative when it
// does not fall.
struct Fall {
    double start = -1;    // seconds
    double seconds = -1;  // length
};
Fall fallAfter(const ToneTrack& track, std::size_t tone, double onset);

// Runs of consecutive samples whose magnitude stays below floor, at least minSamples long, as
// [first, last] sample indices, from sample `from` on.
struct Run {
    std::size_t first = 0;
    std::size_t last = 0;
    double ms(int rate) const { return 1000.0 * static_cast<double>(last - first + 1) / rate; }
};
std::vector<Run> silentRuns(const Pcm& pcm, std::size_t from, std::size_t to, float floor, std::size_t minSamples);

// An MP3 of a sine of hz, 128 kbit/s mono, at least seconds long: one stretch of 1.28 s encoded
// once and its frames repeated (hz times 1.28 s must be whole periods, so the tone runs on
// unbroken), with or without a Xing frame that counts them. Its length in seconds.
double longToneMp3(const std::string& path, double hz, double seconds, bool xing);
// A file of bytes that follow no format.
void randomBytesFile(const std::string& path, std::size_t bytes);

// A program folder for the real player: system.ini on the "no sound" device, the default profile
// with the given crossfade table (60 bytes as hex) and extra [Options] lines.
struct PlayerFolder {
    playertest::TempDir dir;
    std::string wavOut() const { return dir.path() + "/mix.wav"; }
    void setUp(const std::string& crossfadeHex, const std::string& profileExtra = {});
    // Files under dir/slowdisk/ are read as from a slow disk: each read waits this long
    // (tests/common/slowdisk.cpp, preloaded into the player); 0 leaves the disk alone.
    int slowReadMs = 0;
    std::string slowDisk() const { return dir.path() + "/slowdisk"; }
};

// Mix and fade point of a class, seconds before the end; 0 = off.
struct Points {
    float mix = 0;
    float fade = 0;
};
// The crossfade table with these classes' points; CD/line input and explicit times off.
std::string crossfadeHex(Points music, Points advert = {}, Points jingle = {});
// The crossfade table with music's mix and fade points (seconds, 0 = off); the other records off.
std::string musicCrossfadeHex(float mixSeconds, float fadeSeconds);

// Starts the player (this build's, or the one QV_OTHER_PLAYER names) in folder with args, lets it run for ms, then runs `during` (when given) at
// duringMs and ends it with SIGTERM. False when it could not be started or did not end.
bool runPlayer(const PlayerFolder& folder, const QStringList& args, int ms, int duringMs = -1,
               const QStringList& during = {});

}  // namespace rendered
