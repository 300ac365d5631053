// The meters' and displays' profile keys.
#include "player/meters/meteroptions.h"

#include "platform/inifile.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>

namespace player {

MeterOptions readMeterOptions(const platform::IniFile& ini, bool readVolume, const MeterOptions& current)
{
    MeterOptions o = current;
    o.silenceOn = ini.readBool("QuietDetection", "On", false);
    o.silenceInterval = std::clamp(ini.readInteger("QuietDetection", "Interval", 120), kMinSilenceIntervalSeconds,
                                   kMaxSilenceIntervalSeconds);
    // Any other action would leave the air silent; the settings dialog shows it as the first.
    const std::int32_t action = ini.readInteger("QuietDetection", "Action", 1);
    o.silenceAction = action >= 1 && action <= 3 ? action : 1;
    o.silenceList = ini.readString("QuietDetection", "List", "");
    // Any other stored mode would leave the label's click unable to reach "count up".
    o.timeShowType = ini.readInteger("Options", "TimeShowType", 0) == 1 ? 1 : 0;
    o.visualization = ini.readBool("Options", "Visualization", true);
    if (readVolume)
        o.volume = std::clamp(ini.readInteger("Options", "Volume", 99), 0, 100);
    o.showSecondTimeLabel = ini.readBool("Options", "ShowSecondTimeLabel", current.showSecondTimeLabel);
    return o;
}

void writeMeterOptions(platform::IniFile& ini, const MeterOptions& o)
{
    ini.writeBool("QuietDetection", "On", o.silenceOn);
    ini.writeInteger("QuietDetection", "Interval", o.silenceInterval);
    ini.writeInteger("QuietDetection", "Action", o.silenceAction);
    ini.writeString("QuietDetection", "List", o.silenceList);
    ini.writeInteger("Options", "TimeShowType", o.timeShowType);
    ini.writeBool("Options", "Visualization", o.visualization);
    ini.writeInteger("Options", "Volume", o.volume);
    ini.writeBool("Options", "ShowSecondTimeLabel", o.showSecondTimeLabel);
}

bool setsMasterVolume(const std::string& profilePath)
{
    return QFileInfo(QString::fromStdString(profilePath)).fileName().compare(QStringLiteral("default.prf"),
                                                                             Qt::CaseInsensitive) == 0;
}

}  // namespace player
