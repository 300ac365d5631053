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

QString text(PlayerText key, std::initializer_list<std::string_view> values)
{
    return q(LanguageTexts().Text(key, values));
}

// Composed when it is told, so that it speaks the language chosen by then.
QString changeText(PlayerText role, int device, const audiolib::DeviceStatus& s, int before)
{
    const std::string who = LanguageTexts()[role].toStdString();
    const std::string label = deviceLabel(device, s).toStdString();
    switch (s.state) {
    case audiolib::kDeviceLost:
        return text(PlayerText::DeviceLost, {who, label, s.why});
    case audiolib::kDeviceStandIn:
        return text(PlayerText::DeviceStandIn, {who, label, s.why});
    default:
        // One that played on "no sound" until now was never heard before.
        return text(before == audiolib::kDeviceStandIn ? PlayerText::DeviceHeard : PlayerText::DeviceBack, {who, label});
    }
}

}  // namespace

DeviceWatch::DeviceWatch(StatusSource source) : m_source(std::move(source))
{
    if (!m_source)
        m_source = [](int device, audiolib::DeviceStatus& status) { return audiolib::getDeviceStatus(device, &status); };
}

void DeviceWatch::watch(int device, PlayerText role)
{
    for (const Watched& w : m_devices)
        if (w.device == device)
            return;
    m_devices.push_back({device, role, false, {}});
}

QStringList DeviceWatch::poll()
{
    QStringList messages;
    for (const Message& told : std::exchange(m_told, {}))
        messages << told();
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
