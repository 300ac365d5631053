// Starting the other programs and waiting for their windows.
#include "player/link/linkprograms.h"

#include "platform/process.h"

#include <thread>

namespace player {

ProgramLauncher DefaultProgramLauncher()
{
    return [](std::string_view program, const std::vector<std::string>& args) {
        return platform::startProgram(program, args).has_value();
    };
}

platform::WindowHandle WaitForWindow(std::string_view className, std::string_view caption, int looks,
                                     std::chrono::milliseconds pause, platform::WindowHandle skip)
{
    for (int i = 0; i < looks; ++i) {
        std::this_thread::sleep_for(pause);
        if (skip == 0) {
            if (const platform::WindowHandle w = platform::findWindow(className, caption))
                return w;
            continue;
        }
        for (const platform::WindowInfo& w : platform::enumWindows()) {
            if (w.handle != skip && (className.empty() || w.className == className) &&
                (caption.empty() || w.caption == caption))
                return w.handle;
        }
    }
    return 0;
}

}  // namespace player
