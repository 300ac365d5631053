// Reading "system.ini" into the process-wide engine settings, for the player and for the
// database program.
#include "engine/enginesettings.h"

#include "platform/inifile.h"
#include "platform/process.h"
#include "platform/programfolder.h"

#include <algorithm>

#include "audiolib/audiolib.h"

namespace engine {

namespace {

EngineSettings g_settings;

}  // namespace

EngineSettings readEngineSettings(const platform::IniFile& ini, EngineVariant variant)
{
    const EngineSettings defaults;
    EngineSettings s;
    s.Priority = ini.readInteger("Options", "Priority", defaults.Priority);
    if (variant == EngineVariant::Base) {
        s.SampleRate = ini.readInteger("Options", "SampleRate", defaults.SampleRate);
        s.Resolution = ini.readInteger("Options", "Resolution", defaults.Resolution);
    }
    s.Lg = ini.readBool("Options", "Lg", defaults.Lg);
    s.FXTempo = ini.readBool("Options", "FXTempo", defaults.FXTempo);
    s.LangDir = ini.readString("Options", "LangDir", defaults.LangDir);
    s.UseLineIn = ini.readBool("Options", "UseLineIn", defaults.UseLineIn);
    s.BufferLength = std::clamp(ini.readInteger("Options", "BufferLength", defaults.BufferLength), kMinBufferLength,
                                kMaxBufferLength);
    s.MainDev = ini.readInteger("Device", "MainDev", defaults.MainDev);
    s.SecondDev = ini.readInteger("Device", "SecondDev", defaults.SecondDev);

    if (variant == EngineVariant::Base) {
        s.LastBand = kMaxBands - 1;
        s.Freq = kBaseBandCenters;
        return s;
    }
    // The band table has room for 12 centres; a larger count would run every band loop past it.
    const std::int32_t bands = std::clamp(ini.readInteger("Equalizer", "BandsNum", kMaxBands), 0, kMaxBands);
    s.LastBand = bands - 1;
    for (int i = 0; i < bands; ++i)
        s.Freq[i] = std::clamp(ini.readInteger("Equalizer", "Freq" + std::to_string(i), 0), 0, kMaxBandFrequency);
    return s;
}

const EngineSettings& engineSettings()
{
    return g_settings;
}

void setEngineSettings(const EngineSettings& settings)
{
    g_settings = settings;
}

namespace {

void loadAndApply(EngineVariant variant)
{
    {
        const platform::IniFile ini(platform::programPath("system.ini"));
        g_settings = readEngineSettings(ini, variant);
    }
    audiolib::setConfig(audiolib::kOptionLogCurve, g_settings.Lg ? 1 : 0);
    // Values other than 0..3 leave the priority as the system gave it.
    platform::setPriorityClass(g_settings.Priority);
}

}  // namespace

void LoadEngineSettings()
{
    loadAndApply(EngineVariant::Player);
}

void LoadBaseEngineSettings()
{
    loadAndApply(EngineVariant::Base);
}

}  // namespace engine
