// TForm1's output device: opening it at creation, and telling the operator when it is lost, when
// it could not be opened (the air then plays on "no sound") and when it is back.
#include "player/form1.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "player/device/devicewatch.h"

#include <QTimer>

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
        Devices->tell(QStringLiteral("Звуковое устройство %1 не открывается (нет такого устройства): "
                                     "звук идёт на устройство «No sound»")
                          .arg(settings.MainDev));
        settings.MainDev = audiolib::kDeviceNoSound;
        engine::setEngineSettings(settings);
        for (engine::TAudioEngine* deck : {DeckA.get(), DeckB.get(), LineInDeck.get()})
            deck->Device = settings.MainDev;
        DeckA->InitDevice(settings.MainDev);
    }
    Devices->watch(settings.MainDev, QStringLiteral("Звуковое устройство"));
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
    for (const QString& message : Devices->poll())
        ShowStatus(message);
}

}  // namespace player
