// Stand-ins for the programs the player talks to, living on a thread of the test process: a
// window with a handler on its own event loop, a search server that answers from the shared area
// the way the database program does, and track records to fill it with.
#pragma once

#include "media/records.h"
#include "platform/messageids.h"
#include "platform/sharedmemory.h"
#include "platform/window.h"
#include "player/link/searcharea.h"

#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace linktest {

using Handler = std::function<platform::LResult(std::uint32_t, platform::WParam, platform::LParam)>;

class HandlerWindow : public platform::MessageWindow {
public:
    HandlerWindow(const std::string& cls, const std::string& caption, Handler handler)
        : platform::MessageWindow(cls, caption), m_handler(std::move(handler))
    {
    }

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam w, platform::LParam l) override
    {
        const platform::LResult result = m_handler ? m_handler(msg, w, l) : 0;
        // As the database program does: a server told to quit can no longer be found.
        if (msg == platform::UM_SEARCH_QUIT)
            unregisterWindow();
        return result;
    }

private:
    Handler m_handler;
};

// A window owned by a thread of its own, so that sends from the test's main thread wait for an
// answer exactly as they would for another program.
class ThreadWindow : public QThread {
public:
    ThreadWindow(std::string cls, std::string caption, Handler handler)
        : m_cls(std::move(cls)), m_caption(std::move(caption)), m_handler(std::move(handler))
    {
    }
    ~ThreadWindow() override { stop(); }
    platform::WindowHandle open()
    {
        start();
        m_ready.acquire();
        return m_handle;
    }
    // Ends the thread; the window is gone afterwards.
    void stop()
    {
        if (isRunning()) {
            quit();
            wait();
        }
    }
    platform::WindowHandle handle() const { return m_handle; }
    std::function<void()> onExit;  // runs on the thread after the window is gone; set before open()

protected:
    void run() override
    {
        {
            HandlerWindow window(m_cls, m_caption, m_handler);
            m_handle = window.handle();
            m_ready.release();
            exec();
        }
        if (onExit)
            onExit();
    }

private:
    std::string m_cls;
    std::string m_caption;
    Handler m_handler;
    QSemaphore m_ready;
    std::atomic<platform::WindowHandle> m_handle{0};
};

inline media::TTrackRecord track(const std::string& artist, const std::string& title, const std::string& file,
                                 std::int32_t ms)
{
    media::TTrackRecord r{};
    r.Artist.assign(artist);
    r.Title.assign(title);
    r.FileName.assign(file);
    r.Duration = ms;
    return r;
}

// Answers queries the way the database program does: the query is read from slot 0, `results`
// records are put into slots 1.., and the count (`answer`, or the records' count) is sent back to
// the player while the player's own send still waits.
class FakeServer {
public:
    struct Query {
        platform::WParam field = 0;
        std::string text;  // code page 1251 bytes
    };

    explicit FakeServer(platform::WindowHandle player)
        : m_thread("TBase_main_window", "DatabaseWindow" + std::to_string(player),
                   [this](std::uint32_t m, platform::WParam w, platform::LParam l) { return handle(m, w, l); })
    {
        m_thread.onExit = [this] { m_area.close(); };
    }
    ~FakeServer() { stop(); }
    FakeServer(const FakeServer&) = delete;
    FakeServer& operator=(const FakeServer&) = delete;
    platform::WindowHandle open() { return m_thread.open(); }
    void stop() { m_thread.stop(); }
    platform::WindowHandle window() const { return m_thread.handle(); }

    // Set before a query.
    void setResults(std::vector<media::TTrackRecord> records, std::int64_t answer = -1)
    {
        std::lock_guard lock(m_mutex);
        m_results = std::move(records);
        m_answer = answer;
    }
    std::vector<Query> queries() const { std::lock_guard lock(m_mutex); return m_queries; }
    std::vector<std::pair<platform::WParam, platform::LParam>> hellos() const { std::lock_guard lock(m_mutex); return m_hellos; }
    int quits() const { return m_quits.load(); }
    // While above 0, a query holds the server this long and is never answered (a hung server).
    std::atomic<int> stallMs{0};

private:
    platform::LResult handle(std::uint32_t msg, platform::WParam w, platform::LParam l)
    {
        if (msg == platform::UM_SEARCH_HELLO) {
            std::lock_guard lock(m_mutex);
            m_hellos.emplace_back(w, l);
            m_player = static_cast<platform::WindowHandle>(w);
            m_area.open(player::kSearchAreaName, player::kSearchAreaSize);
        } else if (msg == platform::UM_SEARCH_QUIT) {
            ++m_quits;
        } else if (msg == platform::UM_SEARCH_QUERY && stallMs.load() > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(stallMs.load()));
        } else if (msg == platform::UM_SEARCH_QUERY) {
            std::int64_t answer = 0;
            platform::WindowHandle player = 0;
            {
                std::lock_guard lock(m_mutex);
                Query q;
                q.field = w;
                if (m_area.isOpen()) {
                    media::ShortString<30> text;
                    std::memcpy(&text, m_area.data(), sizeof(text));
                    q.text = text.str();
                    const std::size_t n = std::min<std::size_t>(m_results.size(), player::kSearchSlotCount - 1);
                    auto* area = static_cast<unsigned char*>(m_area.data());
                    for (std::size_t i = 0; i < n; ++i)
                        std::memcpy(area + (i + 1) * sizeof(media::TTrackRecord), &m_results[i], sizeof(media::TTrackRecord));
                }
                m_queries.push_back(q);
                answer = m_answer >= 0 ? m_answer : static_cast<std::int64_t>(m_results.size());
                player = m_player;
            }
            platform::sendMessage(player, platform::UM_SEARCH_QUERY, answer, 0);
        }
        return 0;
    }

    ThreadWindow m_thread;
    mutable std::mutex m_mutex;
    platform::SharedMemory m_area;  // used on the server's thread only
    platform::WindowHandle m_player = 0;
    std::vector<media::TTrackRecord> m_results;
    std::int64_t m_answer = -1;
    std::vector<Query> m_queries;
    std::vector<std::pair<platform::WParam, platform::LParam>> m_hellos;
    std::atomic<int> m_quits{0};
};

}  // namespace linktest
