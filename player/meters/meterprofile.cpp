// The profile's share of TForm1's meters and displays, and the silence detector's emergency list.
#include "player/form1.h"

#include "controls/tbar.h"
#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "player/sequencing/maintimer.h"
#include "player/meters/meteroptions.h"
#include "player/profiles/profilehooks.h"

#include <QLabel>
#include <QTabWidget>

namespace player {

int TForm1::LoadEmergencyList()
{
    pcPlaylist->setCurrentWidget(_master);
    CurrentList = LVMaster;
    // A list that cannot be read leaves the Main list as it was: its rows beat silence on air.
    // A relative name is taken under the program folder, never the current one.
    LoadPlaylist(QString::fromStdString(QuietList.empty() ? QuietList : platform::programPath(QuietList)));
    return LVMaster->rowCount();
}

void TForm1::LoadMetersProfile(const platform::IniFile& ini, const ProfileLoad& how)
{
    MeterOptions current;
    if (MainTick)
        current.showSecondTimeLabel = MainTick->showSecondTimeLabel;
    const MeterOptions o = readMeterOptions(ini, how.defaultProfile, current);
    SilenceDetectorOn = o.silenceOn;
    QuietList = o.silenceList;
    if (MainTick) {
        MainTick->silence() = SilenceDetector{o.silenceOn, o.silenceInterval, o.silenceAction};
        MainTick->timeShowType = o.timeShowType;
        MainTick->showSecondTimeLabel = o.showSecondTimeLabel;
        EdToEnd2->setVisible(o.showSecondTimeLabel);
    }
    Visualization = o.visualization;
    if (how.defaultProfile)
        tbVolume->setValue(o.volume);
}

void TForm1::SaveMetersProfile(platform::IniFile& ini)
{
    MeterOptions o;
    o.silenceOn = SilenceDetectorOn;
    o.silenceList = QuietList;
    if (MainTick) {
        o.silenceInterval = MainTick->silence().intervalSeconds;
        o.silenceAction = MainTick->silence().action;
        o.timeShowType = MainTick->timeShowType;
        o.showSecondTimeLabel = MainTick->showSecondTimeLabel;
    }
    o.visualization = Visualization;
    o.volume = tbVolume->value();
    writeMeterOptions(ini, o);
}

}  // namespace player
