// The profile's share of the main timer's displays and meters: the silence detector, the time
// labels' modes, the spectrum switch and the master volume.
#pragma once

#include <string>

namespace platform {
class IniFile;
}

namespace player {

// The silence detector's interval, as the settings dialog offers it.
constexpr int kMinSilenceIntervalSeconds = 1;
constexpr int kMaxSilenceIntervalSeconds = 600;

struct MeterOptions {
    bool silenceOn = false;      // QuietDetection/On
    int silenceInterval = 120;   // QuietDetection/Interval, seconds
    int silenceAction = 1;       // QuietDetection/Action: 1 next row, 2 from the top, 3 the list below
    std::string silenceList;     // QuietDetection/List
    int timeShowType = 0;        // Options/TimeShowType: 0 counts down, 1 up
    bool visualization = true;   // Options/Visualization
    int volume = 99;             // Options/Volume, 0..100
    bool showSecondTimeLabel = false;  // Options/ShowSecondTimeLabel
};

// Reads the options over current (a missing key keeps ShowSecondTimeLabel as it is); Volume only
// when readVolume is set. Stored values are brought into range: the time mode to 0 or 1, the volume
// to 0..100, the interval to 1..600 seconds, an action other than 1..3 to 1.
MeterOptions readMeterOptions(const platform::IniFile& ini, bool readVolume, const MeterOptions& current);
void writeMeterOptions(platform::IniFile& ini, const MeterOptions& options);
// True when the profile's file name is "default.prf" in any case: only that one sets the volume.
bool setsMasterVolume(const std::string& profilePath);

}  // namespace player
