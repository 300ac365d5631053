// TForm1's side of the pre-listen monitor: the popup menu item, Alt+Click on a row, the second
// output device at the first showing, and the monitor's volume in the profile.
#include "player/form1.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "platform/inifile.h"
#include "platform/usermessages.h"
#include "player/monitor/rearplay.h"
#include "player/playlist/playlistrows.h"
#include "player/profiles/profilehooks.h"

#include <QAction>
#include <QMouseEvent>
#include <QMenu>

#include <algorithm>
#include <string>

namespace player {

namespace {

// The keys held at the last press or release of the mouse over a list, for its click handler.
class ClickShiftState : public QObject {
public:
    using QObject::QObject;
    Qt::KeyboardModifiers shift;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)
            shift = static_cast<QMouseEvent*>(event)->modifiers();
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void TForm1::buildMonitorMenu()
{
    N51 = new QAction(QStringLiteral("Подслушка"), this);
    N51->setObjectName(QStringLiteral("N51"));
    PopupMenu1->addAction(N51);
    connect(N51, &QAction::triggered, this, [this] { N51Click(); });
    auto* shift = new ClickShiftState(this);
    for (controls::TVqListView* list : {LVMaster, LVSlave}) {
        list->viewport()->installEventFilter(shift);
        connect(list, &QAbstractItemView::clicked, this, [this, shift] { LVMasterClick(shift->shift); });
    }
}

void TForm1::N51Click()
{
    // One monitor at a time: a second request (Alt+Click does not pass the disabled menu item)
    // brings the open one to the front.
    if (RearPlay) {
        RearPlay->raise();
        RearPlay->activateWindow();
        return;
    }
    const int selected = CurrentList->firstSelectedRow();
    if (selected < 0)
        return;
    if (const QString problem = MonitorDeviceProblem(); !problem.isEmpty()) {
        platform::messageBox(problem.toStdString(), "Monitor", platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    N51->setEnabled(false);
    RearPlay = new TRearPlay(*this, CurrentList->Rows[static_cast<std::size_t>(selected)].SubItems[kColPath]);
    TranslateForm(RearPlay, "RearPlay.Captions");
    RearPlay->show();
}

void TForm1::LVMasterClick(Qt::KeyboardModifiers shift)
{
    if (shift & Qt::AltModifier)
        N51Click();
}

void TForm1::InitMonitorDevice()
{
    if (MonType != 2 || !DeckA)
        return;
    const engine::EngineSettings& settings = engine::engineSettings();
    const int second = settings.SecondDev;
    // Worded when it is shown, in the language chosen by then.
    const auto refusal = [second](std::string why) {
        return [second, why = std::move(why)] {
            return QString::fromStdString(LanguageTexts().Text(PlayerText::MonitorRefused, {std::to_string(second), why}));
        };
    };
    MonitorRefusal = {};
    if (second == settings.MainDev) {
        MonitorRefusal = refusal(LanguageTexts().Text(PlayerText::MonitorIsMain));
    } else if (!DeckA->InitDevice(second)) {
        audiolib::DeviceStatus status;
        if (audiolib::lastError() == audiolib::kErrorSameOutput) {
            const int main = settings.MainDev;
            MonitorRefusal = [second, main] {
                return QString::fromStdString(LanguageTexts().Text(
                    PlayerText::MonitorRefused,
                    {std::to_string(second), LanguageTexts().Text(PlayerText::MonitorSameOutput, {std::to_string(main)})}));
            };
        } else if (!audiolib::getDeviceStatus(second, &status)) {
            MonitorRefusal = refusal(audiolib::errorText(audiolib::lastError()));
        }
    }
    // Opening a device selects it for this thread; calls that name no device go to the main one.
    audiolib::setDevice(settings.MainDev);
    // No box at the start, which may be unattended: the status bar tells, once the window is up.
    if (!Devices)
        return;
    if (MonitorRefusal)
        Devices->tell(MonitorRefusal);
    else
        Devices->watch(second, PlayerText::DeviceMonitor);
}

QString TForm1::MonitorDeviceProblem() const
{
    return MonType == 0 || MonType == 1 || !MonitorRefusal ? QString() : MonitorRefusal();
}

void TForm1::LoadMonitorProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    RearVolume = std::clamp(ini.readInteger("Options", "RearVolume", 100), 0, 100);
}

void TForm1::SaveMonitorProfile(platform::IniFile& ini)
{
    ini.writeInteger("Options", "RearVolume", RearVolume);
}

}  // namespace player
