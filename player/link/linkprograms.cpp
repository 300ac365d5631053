// Starting the other programs and waiting for their windows.
#include "player/link/linkprograms.h"

#include "platform/process.h"

#include <QTimer>

#include <thread>
#include <utility>

namespace player {

ProgramLauncher DefaultProgramLauncher()
{
    return [](std::string_view program, const std::vector<std::string>& args) {
        return platform::startProgram(program, args).has_value();
    };
}

platform::WindowHandle LookForWindow(std::string_view className, std::string_view caption, platform::WindowHandle skip)
{
    if (skip == 0)
        return platform::findWindow(className, caption);
    for (const platform::WindowInfo& w : platform::enumWindows()) {
        if (w.handle != skip && (className.empty() || w.className == className) && (caption.empty() || w.caption == caption))
            return w.handle;
    }
    return 0;
}

platform::WindowHandle WaitForWindow(std::string_view className, std::string_view caption,
                                     std::chrono::milliseconds limit, platform::WindowHandle skip)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        if (const platform::WindowHandle w = LookForWindow(className, caption, skip))
            return w;
        if (std::chrono::steady_clock::now() >= deadline)
            return 0;
        std::this_thread::sleep_for(kWindowLookInterval);
    }
}

WindowWatch::WindowWatch() : m_timer(std::make_unique<QTimer>())
{
    m_timer->setInterval(kWindowLookInterval);
    QObject::connect(m_timer.get(), &QTimer::timeout, [this] { look(); });
}

WindowWatch::~WindowWatch() = default;

void WindowWatch::start(std::string className, std::string caption, std::chrono::milliseconds limit, Found found)
{
    cancel();
    if (const platform::WindowHandle w = LookForWindow(className, caption)) {
        if (found)
            found(w);
        return;
    }
    m_className = std::move(className);
    m_caption = std::move(caption);
    m_deadline = std::chrono::steady_clock::now() + limit;
    m_found = std::move(found);
    m_timer->start();
}

void WindowWatch::cancel()
{
    m_timer->stop();
    m_found = nullptr;
}

bool WindowWatch::active() const
{
    return m_timer->isActive();
}

void WindowWatch::look()
{
    const platform::WindowHandle w = LookForWindow(m_className, m_caption);
    if (w == 0 && std::chrono::steady_clock::now() < m_deadline)
        return;
    // Ended before the handler runs: it may start another watch.
    const Found found = std::exchange(m_found, nullptr);
    m_timer->stop();
    if (found)
        found(w);
}

}  // namespace player
