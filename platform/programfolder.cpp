// Where the program's files live: the executable's folder unless QUORVALEN_PROGRAM_DIR says otherwise.
#include "platform/programfolder.h"

#include "platform/cp1251.h"
#include "platform/usermessages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {

std::string withSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

}  // namespace

std::string executableFolder()
{
    static const std::string folder = [] {
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (ec)
            return withSlash(std::filesystem::current_path(ec).string());
        return withSlash(exe.parent_path().string());
    }();
    return folder;
}

std::string programFolder()
{
    // Read each time: tests point it at a temporary folder after start.
    const char* env = std::getenv("QUORVALEN_PROGRAM_DIR");
    if (env && *env) {
        std::error_code ec;
        // A Linux path: a "\" in it belongs to a folder's name.
        const auto abs = std::filesystem::absolute(std::filesystem::path(env), ec);
        if (!ec)
            return withSlash(abs.lexically_normal().string());
    }
    return executableFolder();
}

std::string toSlashes(std::string_view path)
{
    std::string out(path);
    for (char& c : out) {
        if (c == '\\')
            c = '/';
    }
    return out;
}

std::string programPath(std::string_view relative)
{
    if (!relative.empty() && relative.front() == '/')
        return std::string(relative);
    std::string path = toSlashes(relative);
    if (!path.empty() && path.front() == '/')
        return path;
    std::size_t skip = 0;
    while (path.compare(skip, 2, "./") == 0)
        skip += 2;
    return programFolder() + path.substr(skip);
}

std::string programFolderRefusal()
{
    for (const std::string& folder : {programFolder(), executableFolder()}) {
        if (!isValidUtf8(folder))
            return "Имя папки программы не в кодировке UTF-8: " + decodeText(folder) +
                   "\r\nС такой папкой программа не работает: её файлы попали бы в папку с другим именем. "
                   "Переименуйте папку.";
    }
    return {};
}

bool programFolderUsable(const std::string& program, const std::string& boxCaption)
{
    const std::string refusal = programFolderRefusal();
    if (refusal.empty())
        return true;
    std::fprintf(stderr, "%s: %s\n", program.c_str(), toDisplayLineBreaks(refusal).c_str());
    std::fflush(stderr);
    if (!boxCaption.empty())
        messageBox(refusal, boxCaption, MB_OK | MB_ICONERROR);
    return false;
}

}  // namespace platform
