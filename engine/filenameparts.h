// The parts of a deck's file name that choose how it opens: the file part (is it the line
// input?) and the extension (a CD track, a WMA file).
#pragma once

#include <algorithm>
#include <cctype>
#include <string>

namespace engine {

inline std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// File part after the last "/" or "\" (playlists written on other systems use either).
inline std::string filePart(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Lower case, with its dot; "" for none.
inline std::string extensionOf(const std::string& path)
{
    const std::string name = filePart(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : lowerCase(name.substr(dot));
}

inline bool isLineInName(const std::string& path)
{
    return lowerCase(filePart(path)) == "line.in";
}

}  // namespace engine
