// Listing the profile folder and checking new profile names.
#include "player/profiles/profilelist.h"

#include "player/playlist/folderscan.h"

#include <algorithm>
#include <filesystem>

namespace player {
namespace {

constexpr std::string_view kExtension = ".prf";
constexpr std::size_t kMaxFileNameBytes = 255;

bool endsWithExtension(std::string_view name)
{
    if (name.size() < kExtension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - kExtension.size());
    return std::equal(tail.begin(), tail.end(), kExtension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

}  // namespace

std::vector<std::string> listProfiles(const std::string& folder, std::size_t max)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code kindError;
        if (endsWithExtension(name) && !it->is_directory(kindError))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), NameOrderLess);
    if (names.size() > max)
        names.resize(max);
    std::vector<std::string> paths;
    paths.reserve(names.size());
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const std::string& name : names)
        paths.push_back(prefix + name);
    return paths;
}

std::string profileCaption(const std::string& path)
{
    std::string name = std::filesystem::path(path).filename().string();
    name.resize(name.size() > kExtension.size() ? name.size() - kExtension.size() : 0);
    return name;
}

bool validProfileName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    const std::size_t fileBytes = profileFileName(name).size();
    if (fileBytes == kExtension.size() || fileBytes > kMaxFileNameBytes)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || u < 0x20 || u == 0x7F;
    });
}

std::string profileFileName(std::string_view name)
{
    std::string file(name);
    if (!endsWithExtension(name))
        file += kExtension;
    return file;
}

}  // namespace player
