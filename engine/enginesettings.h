// Process-wide engine settings read from "system.ini" before any deck exists: priority, volume
// curve, tempo streams, line input, buffer length, output devices and the equaliser band table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace platform {
class IniFile;
}

namespace engine {

// Which program the engine serves: the player's decks, or the database program's preview deck.
enum class EngineVariant { Player, Base };

constexpr int kMaxBands = 12;
// What the decks can use of the numbers read: the library's buffer range, and the band filters'.
constexpr std::int32_t kMinBufferLength = 10;
constexpr std::int32_t kMaxBufferLength = 5000;
constexpr std::int32_t kMaxBandFrequency = 100000;

// Fixed centres of the database program's 12 bands (it has no [Equalizer] section).
constexpr std::array<std::int32_t, kMaxBands> kBaseBandCenters = {60,   120,   310,   600,   1000,  3000,
                                                                  6000, 12000, 14000, 16000, 18000, 20000};

struct EngineSettings {
    std::int32_t Priority = 1;
    bool Lg = false;
    bool FXTempo = false;
    // The language folder under "Lang"; the built-in texts are those of "Ru".
    std::string LangDir = "Ru";
    bool UseLineIn = false;
    std::int32_t BufferLength = 500;
    std::int32_t MainDev = 1;
    std::int32_t SecondDev = 2;
    // Index of the last configured band, BandsNum - 1; -1 when there is none. Every band loop
    // runs from 0 to it.
    std::int32_t LastBand = kMaxBands - 1;
    std::array<std::int32_t, kMaxBands> Freq{};
    // Database program only.
    std::int32_t SampleRate = 44100;
    std::int32_t Resolution = 16;

    int bandCount() const { return LastBand + 1; }
};

// The keys of either variant, in the order the program reads them; a missing key gives its
// default, a BandsNum above 12 is taken as 12, BufferLength and the band frequencies are cut to
// their ranges above.
EngineSettings readEngineSettings(const platform::IniFile& ini, EngineVariant variant);

// The settings every deck of this process reads. Written only by the loaders below, which run
// before any deck exists.
const EngineSettings& engineSettings();
void setEngineSettings(const EngineSettings& settings);

// Reads "<program folder>/system.ini", keeps the result process-wide, then sets the library's
// volume curve and the process priority class.
void LoadEngineSettings();
// The database program's variant of the same.
void LoadBaseEngineSettings();

}  // namespace engine
