// TForm1's output device: opening it at creation, and telling the operator when it is lost, when
// it could not be opened (the air then plays on "no sound") and when it is back.
#include "player/form1.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "player/device/devicewatch.h"

#include <QTimer>

#include <string>

namespace player {

void TForm1::InitMainDevice()
{
    engine::EngineSettings settings = engine::engineSettings();
    Devices = std::make_unique<DeviceWatch>(DeviceStatusOf);
    DeckA->InitDevice(settings.MainDev);
    audiolib::DeviceStatus status;
    if (!audiolib::getDeviceStatus(settings.MainDev, &status)) {
        // The library opens every device number it can have, on "no sound" until it answers: only
        // a number no device can have is refused. The air goes on regardless.
        Devices->tell([device = settings.MainDev] {
            return QString::fromStdString(LanguageTexts().Text(PlayerText::DeviceMissing, {std::to_string(device)}));
        });
        settings.MainDev = audiolib::kDeviceNoSound;
        engine::setEngineSettings(settings);
        for (engine::TAudioEngine* deck : {DeckA.get(), DeckB.get(), LineInDeck.get()})
            deck->Device = settings.MainDev;
        DeckA->InitDevice(settings.MainDev);
    }
    Devices->watch(settings.MainDev, PlayerText::DeviceMain);
    devicetimer = new QTimer(this);
    devicetimer->setObjectName(QStringLiteral("devicetimer"));
    devicetimer->setInterval(DeviceWatch::kIntervalMs);
    connect(devicetimer, &QTimer::timeout, this, [this] { devicetimerTimer(); });
    // Its first reading comes once the start is over, so that what the start shows in the status
    // bar (the volume) does not cover it.
    devicetimer->start();
}

void TForm1::devicetimerTimer()
{
    if (!Devices)
        return;
    // As a failure: read until the next one, over the hints and the volume, and the device's next
    // state, when it comes back, stands over it in turn.
    for (const QString& message : Devices->poll())
        ShowFailure(message);
}

}  // namespace player
