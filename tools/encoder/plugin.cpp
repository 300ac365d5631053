// Reading plug-in files.
#include "tools/encoder/plugin.h"

#include "platform/regularfile.h"

#include <charconv>
#include <sstream>

namespace encoder {

namespace {

constexpr std::size_t kMaxPluginSize = 64 * 1024;

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

template <class T>
bool number(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

}  // namespace

std::optional<EncoderPlugin> parsePlugin(const std::string& text, std::string* error)
{
    EncoderPlugin plugin;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    auto fail = [&](const std::string& why) {
        *error = "line " + std::to_string(lineNumber) + ": " + why;
        return std::nullopt;
    };
    while (std::getline(lines, line)) {
        ++lineNumber;
        line = trimmed(line);
        if (line.empty() || line.front() == '#')
            continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            return fail("no \"=\" in \"" + line + "\"");
        const std::string key = trimmed(line.substr(0, eq));
        const std::string value = trimmed(line.substr(eq + 1));
        bool ok = true;
        if (key == "codec")
            plugin.codec = value;
        else if (key == "format")
            plugin.format = value;
        else if (key == "extension")
            plugin.extension = value;
        else if (key == "bitrate")
            ok = number(value, plugin.bitrate) && plugin.bitrate >= 0;
        else if (key == "quality")
            ok = number(value, plugin.quality);
        else if (key == "samplerate")
            ok = number(value, plugin.sampleRate) && plugin.sampleRate >= 0 && plugin.sampleRate <= 384000;
        else if (key == "channels")
            ok = number(value, plugin.channels) && plugin.channels >= 0 && plugin.channels <= 2;
        else
            return fail("unknown key \"" + key + "\"");
        if (!ok)
            return fail("bad value \"" + value + "\" of " + key);
    }
    if (plugin.codec.empty() || plugin.format.empty()) {
        *error = "the plug-in names no codec or no format";
        return std::nullopt;
    }
    return plugin;
}

std::optional<EncoderPlugin> readPlugin(const std::string& path, std::string* error)
{
    std::string text;
    std::string why;
    if (platform::readRegularFile(path, kMaxPluginSize, text, &why) != platform::FileRead::Ok) {
        *error = "cannot read the plug-in " + path + ": " + why;
        return std::nullopt;
    }
    auto plugin = parsePlugin(text, &why);
    if (!plugin)
        *error = path + ": " + why;
    return plugin;
}

}  // namespace encoder
