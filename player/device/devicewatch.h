// The player's output devices as the operator hears of them: a device whose output stopped (the
// air is silent until it answers again), one that could not be opened and plays on "no sound"
// meanwhile, and one that is back. The library reopens them by itself; this only tells.
#pragma once

#include "audiolib/audiolib.h"
#include "player/language/playertexts.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace player {

class DeviceWatch {
public:
    // The library's status of a device; tests hand in their own.
    using StatusSource = std::function<bool(int device, audiolib::DeviceStatus& status)>;
    static constexpr int kIntervalMs = 200;

    explicit DeviceWatch(StatusSource source = {});

    // role names the device to the operator (PlayerText::DeviceMain: "Звуковое устройство").
    void watch(int device, PlayerText role);
    // A message of its own for the next reading to give (one found before the window was up),
    // composed then: the language may have been chosen meanwhile.
    using Message = std::function<QString()>;
    void tell(Message message) { m_told.push_back(std::move(message)); }
    // Reads every device watched; the messages of those whose state changed since the last
    // reading (a device that does not open or is lost is told at its first reading).
    QStringList poll();
    // Every device's state at the last reading, one line each, for the diagnostics window.
    QString summary() const;

private:
    struct Watched {
        int device = 0;
        PlayerText role;
        bool read = false;
        audiolib::DeviceStatus last;
    };
    StatusSource m_source;
    std::vector<Watched> m_devices;
    std::vector<Message> m_told;
};

}  // namespace player
