// Helpers of the playlist generator tests: generated ".dfs" rows and files, a window that records
// the messages it gets, a temporary program folder, and running the event loop until a condition.
#pragma once

#include "media/records.h"
#include "platform/window.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sorbelttest {

// A row as the database writes it after a tag read: 30-byte text fields padded with zero bytes.
media::TTrackRecord makeRow(std::string_view artist, std::string_view title, std::string_view fileName,
                            std::int32_t durationMs);

// The rows back to back, then tailBytes bytes of a further, incomplete row.
void writeDfs(const std::string& path, const std::vector<media::TTrackRecord>& rows, std::size_t tailBytes = 0);

std::string readFile(const std::string& path);

struct Received {
    std::uint32_t msg;
    platform::WParam wParam;
    platform::LParam lParam;
};

// Records every message; onMessage (when set) runs inside the handler, e.g. to read the stack
// list at the moment the player would.
class RecordingWindow : public platform::MessageWindow {
public:
    explicit RecordingWindow(std::string caption) : MessageWindow("QvTestPlayer", std::move(caption)) {}
    std::vector<Received> received;
    std::function<void(const Received&)> onMessage;

protected:
    platform::LResult windowProc(std::uint32_t msg, platform::WParam wParam, platform::LParam lParam) override;
};

// Points the program folder at a fresh temporary folder for the lifetime of the object.
class ScopedProgramFolder {
public:
    ScopedProgramFolder();
    ~ScopedProgramFolder();
    std::string path() const;  // ends with "/"

private:
    QTemporaryDir m_dir;
    std::string m_previous;
    bool m_hadPrevious = false;
};

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

}  // namespace sorbelttest
