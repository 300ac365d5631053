// For fuzz targets that drive a program's windows: an offscreen Qt application in a run of its own
// (private named objects, registry and desktop folders), a program folder of its own, no sound
// card, and the frames of an input delivered to a window as the message hub delivers them.
#pragma once

#include "tests/common/fuzzinput.h"
#include "tests/common/isolatedrun.h"

#include "platform/ipc_frame.h"
#include "platform/window.h"

#include <QApplication>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace fuzzing {

// The program folder of the run; created by startApplication.
inline std::string programFolder() { return scratchFolder() + "/program"; }

inline void startApplication(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QUORVALEN_NOSOUND", "1", 1);
    static testrun::IsolatedRun run("qvfuzz");
    recordedMessages();
    inputFile("start", "", 0);  // makes the scratch folder
    std::filesystem::create_directories(programFolder() + "/Profile");
    std::filesystem::create_directories(programFolder() + "/Temp");
    std::filesystem::create_directories(programFolder() + "/Lang");
    setenv("QUORVALEN_PROGRAM_DIR", programFolder().c_str(), 1);
    // Never destroyed: the windows live to the end of the run, and tearing Qt down at exit under
    // them would fail.
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
}

inline void writeProgramFile(const std::string& relative, std::string_view bytes)
{
    writeFile(programFolder() + "/" + relative, bytes.data(), bytes.size());
}

// Painting a shown window takes most of an input's time and is not what these targets feed: a
// window is painted only for inputs whose size is a multiple of kPaintEvery, so that drawing what
// an input left behind is still covered, the same way for the same input.
constexpr std::size_t kPaintEvery = 32;
inline void paintFor(QWidget& window, std::size_t inputSize)
{
    window.setUpdatesEnabled(inputSize % kPaintEvery == 0);
}

// Every whole frame of bytes that decodes, up to the first that does not (the hub closes the
// connection there), as a send (answered) or a post (run from the event queue) to `window`.
// Replies are not messages to a window and are skipped.
inline void deliverFrames(std::string_view bytes, platform::WindowHandle window)
{
    platform::ipc::FrameAssembler assembler;
    assembler.feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                   [&](const platform::ipc::Frame& frame) {
                       if (frame.kind == platform::ipc::FrameKind::Send)
                           platform::sendMessage(window, frame.msg, frame.wParam, frame.lParam);
                       else if (frame.kind == platform::ipc::FrameKind::Post)
                           platform::postMessage(window, frame.msg, frame.wParam, frame.lParam);
                       QCoreApplication::processEvents();
                   });
    QCoreApplication::processEvents();
}

}  // namespace fuzzing
