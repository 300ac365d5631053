// The encoder's run: arguments, output naming, the part file and the reports.
#include "tools/encoder/encoderrun.h"

#include "platform/messageids.h"
#include "platform/programfolder.h"
#include "platform/savefile.h"
#include "tools/encoder/plugin.h"
#include "tools/encoder/transcode.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace encoder {

namespace fs = std::filesystem;

std::optional<EncoderArguments> parseArguments(const std::vector<std::string>& args, std::string* error)
{
    if (args.size() != 5) {
        *error = "usage: encoder <window> <source> <output folder> <extension> <plug-in>";
        return std::nullopt;
    }
    EncoderArguments a;
    const std::string& handle = args[0];
    const auto [ptr, ec] = std::from_chars(handle.data(), handle.data() + handle.size(), a.window);
    if (ec != std::errc() || ptr != handle.data() + handle.size()) {
        *error = "not a window handle: \"" + handle + "\"";
        return std::nullopt;
    }
    // The player hands over the file's and the folder's bytes as the file system has them; only
    // the plug-in comes as "plugins\<command>".
    a.source = args[1];
    a.outputFolder = args[2];
    a.extension = args[3];
    a.plugin = platform::toSlashes(args[4]);
    if (a.source.empty() || a.outputFolder.empty() || a.plugin.empty()) {
        *error = "the source, the output folder and the plug-in must be named";
        return std::nullopt;
    }
    return a;
}

std::string outputPath(const std::string& source, const std::string& folder, const std::string& extension)
{
    std::string ext = extension;
    while (!ext.empty() && ext.front() == '.')
        ext.erase(0, 1);
    std::string out = folder;
    if (out.back() != '/')
        out += '/';
    return out + fs::path(source).stem().string() + (ext.empty() ? "" : "." + ext);
}

std::string partPath(const std::string& output, long processId)
{
    const fs::path p(output);
    return (p.parent_path() / ("." + p.filename().string() + "." + std::to_string(processId) + ".part")).string();
}

bool isPartName(std::string_view name)
{
    constexpr std::string_view kPart = ".part";
    if (name.size() < 1 + 1 + 1 + 1 + kPart.size() || name.front() != '.' || !name.ends_with(kPart))
        return false;
    name.remove_suffix(kPart.size());
    const std::size_t dot = name.rfind('.');
    const std::string_view digits = name.substr(dot + 1);
    return dot > 1 && !digits.empty() &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat sa {};
    struct stat sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::error_code ec1;
    std::error_code ec2;
    return fs::weakly_canonical(a, ec1) == fs::weakly_canonical(b, ec2) && !ec1 && !ec2;
}

Reporter windowReporter(platform::WindowHandle window)
{
    return [window](platform::WParam wParam, platform::LParam lParam) -> std::optional<platform::LResult> {
        platform::LResult answer = 0;
        if (platform::sendMessageEx(window, platform::UM_ENCODER_PROGRESS, wParam, lParam, &answer) !=
            platform::SendStatus::Answered)
            return std::nullopt;
        return answer;
    };
}

int runEncoder(const EncoderArguments& args, const Reporter& report, const std::atomic<bool>& terminate,
               const std::function<void(const std::string&)>& log)
{
    const std::string pluginPath =
        args.plugin.front() == '/' ? args.plugin : platform::executableFolder() + args.plugin;
    std::string error;
    const std::optional<EncoderPlugin> plugin = readPlugin(pluginPath, &error);
    if (!plugin) {
        log(error);
        return kExitFailed;
    }
    std::error_code ec;
    if (!fs::is_directory(args.outputFolder, ec)) {
        log("no output folder " + args.outputFolder);
        return kExitFailed;
    }
    // Parts that encoders stopped half way (killed, the machine down) left behind; one that
    // another encoder is writing now is fresh.
    platform::removeStaleTempFiles(args.outputFolder, isPartName);
    const std::string output =
        outputPath(args.source, args.outputFolder, args.extension.empty() ? plugin->extension : args.extension);
    if (sameFile(output, args.source)) {
        log("refused: the output " + output + " is the source itself");
        return kExitRefused;
    }
    const std::string part = partPath(output, static_cast<long>(::getpid()));

    bool windowGone = false;
    bool stopAsked = false;
    EncodeProgress progress;
    progress.started = [&](std::int64_t steps) {
        const auto answer = report(kReportStart, steps);
        windowGone = !answer;
        return answer && !terminate;
    };
    progress.step = [&](std::int64_t done) {
        const auto answer = report(kReportStep, done);
        windowGone = !answer;
        stopAsked = answer && *answer == kAnswerStop;
        return answer && !stopAsked && !terminate;
    };
    const EncodeResult result = encodeFile(args.source, part, *plugin, progress, &error);
    if (result != EncodeResult::Done) {
        fs::remove(part, ec);
        if (result == EncodeResult::Failed) {
            log(error);
            return kExitFailed;
        }
        if (terminate || windowGone)
            return kExitStopped;
        report(kReportEnd, 0);
        return kExitStopped;
    }
    fs::rename(part, output, ec);
    if (ec) {
        fs::remove(part, ec);
        log("cannot rename the encoded file to " + output);
        return kExitFailed;
    }
    report(kReportEnd, 0);
    return kExitDone;
}

}  // namespace encoder
