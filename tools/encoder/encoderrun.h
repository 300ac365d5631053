// One run of the encoder as the player starts it: the arguments, where the output goes, the
// reports to the player's progress window and what is left on disk afterwards.
#pragma once

#include "platform/window.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace encoder {

// wParam of UM_ENCODER_PROGRESS: the number of steps, a step done, the end.
enum : platform::WParam { kReportStart = 0, kReportStep = 1, kReportEnd = 2 };
// The answer to a step that asks the encoder to stop.
inline constexpr platform::LResult kAnswerStop = 1;

struct EncoderArguments {
    platform::WindowHandle window = 0;  // the progress window
    std::string source;
    std::string outputFolder;
    std::string extension;  // with or without its dot; empty: the plug-in's
    std::string plugin;     // "plugins\<name>", under the encoder's own folder when relative
};

// window, source, output folder, extension, plug-in; nothing (with *error) when they do not read.
std::optional<EncoderArguments> parseArguments(const std::vector<std::string>& args, std::string* error);

// "<folder>/<source's base name>.<extension>".
std::string outputPath(const std::string& source, const std::string& folder, const std::string& extension);
// The hidden file the encode writes before it is renamed to output: nobody takes a part for a
// finished file, and two encoders never share one.
std::string partPath(const std::string& output, long processId);
// A name partPath gives: "." + the output's name + "." + digits + ".part".
bool isPartName(std::string_view name);
// True when both name the same file (also through links or another spelling).
bool sameFile(const std::string& a, const std::string& b);

// Exit codes of the encoder.
enum : int { kExitDone = 0, kExitFailed = 1, kExitUsage = 2, kExitRefused = 3, kExitStopped = 4 };

// Sends a report to the progress window; the answer, or nothing when the window is gone or does
// not answer (the encoder then stops).
using Reporter = std::function<std::optional<platform::LResult>(platform::WParam, platform::LParam)>;
Reporter windowReporter(platform::WindowHandle window);

// The whole run: reports 0, 1 ... and, when the file is finished or the player asked to stop, 2;
// a failure (or a stop by a signal, `terminate`) reports no end. Messages go to `log`.
int runEncoder(const EncoderArguments& args, const Reporter& report, const std::atomic<bool>& terminate,
               const std::function<void(const std::string&)>& log);

}  // namespace encoder
