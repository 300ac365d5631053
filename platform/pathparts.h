// The folder and the file name of a "/" path, without touching the file system.
#pragma once

#include <string>

namespace platform {

// "/a/b/c.mp3" -> "/a/b"; "/c.mp3" -> "/"; "c.mp3" -> ".".
inline std::string folderOfPath(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// "/a/b/c.mp3" -> "c.mp3".
inline std::string fileNameOfPath(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace platform
