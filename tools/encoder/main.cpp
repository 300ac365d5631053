// The encoder stand-in: started by the player with its progress window's handle, the source file,
// the output folder, the extension and the plug-in; reports to that window as it encodes.
#include "tools/encoder/encoderrun.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::atomic<bool> g_terminate{false};

extern "C" void onTerminate(int)
{
    g_terminate.store(true);
}

}  // namespace

int main(int argc, char** argv)
{
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto parsed = encoder::parseArguments(args, &error);
    auto log = [](const std::string& text) { std::fprintf(stderr, "encoder: %s\n", text.c_str()); };
    if (!parsed) {
        log(error);
        return encoder::kExitUsage;
    }
    return encoder::runEncoder(*parsed, encoder::windowReporter(parsed->window), g_terminate, log);
}
