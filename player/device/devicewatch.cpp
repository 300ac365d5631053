// The texts of the devices' states and changes.
#include "player/device/devicewatch.h"

#include <utility>

namespace player {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// "1 «default»", or the number alone while the system has not named it.
QString deviceLabel(int device, const audiolib::DeviceStatus& s)
{
    return s.name.empty() ? QString::number(device) : QStringLiteral("%1 «%2»").arg(device).arg(q(s.name));
}

QString changeText(const QString& role, int device, const audiolib::DeviceStatus& s, int before)
{
    const QString label = deviceLabel(device, s);
    switch (s.state) {
    case audiolib::kDeviceLost:
        return QStringLiteral("%1 %2: звук прервался (%3), идут попытки открыть его снова")
            .arg(role, label, q(s.why));
    case audiolib::kDeviceStandIn:
        return QStringLiteral("%1 %2 не открывается (%3): звук идёт на устройство «No sound», "
                              "попытки открыть его продолжаются")
            .arg(role, label, q(s.why));
    default:
        // One that played on "no sound" until now was never heard before.
        return before == audiolib::kDeviceStandIn ? QStringLiteral("%1 %2 открыто: звук идёт на него").arg(role, label)
                                                  : QStringLiteral("%1 %2 снова открыто").arg(role, label);
    }
}

}  // namespace

DeviceWatch::DeviceWatch(StatusSource source) : m_source(std::move(source))
{
    if (!m_source)
        m_source = [](int device, audiolib::DeviceStatus& status) { return audiolib::getDeviceStatus(device, &status); };
}

void DeviceWatch::watch(int device, const QString& role)
{
    for (const Watched& w : m_devices)
        if (w.device == device)
            return;
    m_devices.push_back({device, role, false, {}});
}

QStringList DeviceWatch::poll()
{
    QStringList messages = std::exchange(m_told, {});
    for (Watched& w : m_devices) {
        audiolib::DeviceStatus now;
        if (!m_source(w.device, now))
            continue;  // freed: nothing to tell
        const bool changed = w.read ? now.state != w.last.state || now.changes != w.last.changes
                                    : now.state != audiolib::kDeviceOpen;
        if (changed)
            messages << changeText(w.role, w.device, now, w.read ? w.last.state : audiolib::kDeviceOpen);
        w.last = now;
        w.read = true;
    }
    return messages;
}

QString DeviceWatch::summary() const
{
    QStringList lines;
    for (const Watched& w : m_devices) {
        if (!w.read)
            continue;
        const audiolib::DeviceStatus& s = w.last;
        const QString label = deviceLabel(w.device, s);
        switch (s.state) {
        case audiolib::kDeviceLost:
            lines << QStringLiteral("%1: lost (%2), trying again").arg(label, q(s.why));
            break;
        case audiolib::kDeviceStandIn:
            lines << QStringLiteral("%1: on \"no sound\" (%2), trying again").arg(label, q(s.why));
            break;
        default:
            lines << QStringLiteral("%1: open, %2 ms%3")
                         .arg(label)
                         .arg(s.latencyMs)
                         .arg(s.realtime ? QStringLiteral(", real-time") : QString());
        }
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace player
