// Window position saver over the platform registry.
#include "controls/vqpossave.h"

#include "controls/screenfit.h"
#include "platform/registry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <limits>

namespace controls {

namespace {

constexpr const char* kValueName = "PosData";

platform::RegistryRoot rootOf(TRoot root)
{
    switch (root) {
    case HKLM: return platform::RegistryRoot::LocalMachine;
    case HKCR: return platform::RegistryRoot::ClassesRoot;
    case HKCU: break;
    }
    return platform::RegistryRoot::CurrentUser;
}

void putInt32(std::vector<std::uint8_t>& out, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(u >> shift));
}

std::int32_t getInt32(const std::vector<std::uint8_t>& in, size_t at)
{
    std::uint32_t u = 0;
    for (size_t i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(in[at + i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

}  // namespace

TVqPosSave::TVqPosSave(QWidget* owner) : QObject(owner), m_owner(owner)
{
    if (m_owner)
        m_owner->installEventFilter(this);
}

std::vector<std::uint8_t> TVqPosSave::encode(const QRect& bounds)
{
    std::vector<std::uint8_t> out;
    out.reserve(16);
    putInt32(out, bounds.x());
    putInt32(out, bounds.y());
    putInt32(out, bounds.width());
    putInt32(out, bounds.height());
    return out;
}

std::optional<QRect> TVqPosSave::decode(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() != 16)
        return std::nullopt;
    const std::int64_t left = getInt32(bytes, 0), top = getInt32(bytes, 4);
    const std::int64_t width = getInt32(bytes, 8), height = getInt32(bytes, 12);
    if (width <= 0 || height <= 0)
        return std::nullopt;
    // The right and bottom edges must be ints too: folded back they would seem to cover every screen.
    if (left + width - 1 > std::numeric_limits<int>::max() || top + height - 1 > std::numeric_limits<int>::max())
        return std::nullopt;
    const QRect r(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width), static_cast<int>(height));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->geometry().intersects(r))
            return r;
    return std::nullopt;
}

void TVqPosSave::LoadPosition()
{
    if (m_owner) {
        const auto bytes = platform::Registry::readBinary(rootOf(RootKey), Key, kValueName);
        if (const auto stored = bytes ? decode(*bytes) : std::nullopt) {
            // A damaged value never makes the window larger than the screen or puts it out of sight.
            const QRect r = fitRect(*stored, availableScreenArea(nullptr, stored->topLeft()));
            m_owner->move(r.topLeft());
            m_owner->resize(r.size());
        }
    }
    m_loaded = true;
}

QRect TVqPosSave::normalBounds() const
{
    const Qt::WindowStates state = m_owner->windowState();
    if (!(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return QRect(m_owner->pos(), m_owner->size());
    const QRect normal = m_owner->normalGeometry();
    if (!normal.isValid())
        return QRect(m_owner->pos(), m_owner->size());
    const QPoint frameOffset = m_owner->geometry().topLeft() - m_owner->frameGeometry().topLeft();
    return QRect(normal.topLeft() - frameOffset, normal.size());
}

void TVqPosSave::SavePosition()
{
    if (!m_loaded || !m_owner)
        return;
    // A store that cannot be written (no rights, no disk) loses only the position: silently.
    platform::Registry::writeBinary(rootOf(RootKey), Key, kValueName, encode(normalBounds()));
}

bool TVqPosSave::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_owner) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
            LoadPosition();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            SavePosition();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace controls
