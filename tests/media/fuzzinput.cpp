// The fuzz targets' input file.
#include "fuzzinput.h"

#include "platform/recordedusermessages.h"

#include <fstream>
#include <unistd.h>

namespace mediatest {

namespace {

struct InputFile {
    InputFile() : path("/tmp/qvmedia-fuzz-" + std::to_string(::getpid()) + ".bin") { platform::setUserMessages(&messages); }
    ~InputFile()
    {
        platform::setUserMessages(nullptr);
        ::unlink(path.c_str());
    }
    std::string path;
    platform::RecordedUserMessages messages;
};

}  // namespace

const std::string& fuzzInputFile(const std::uint8_t* data, std::size_t size)
{
    static InputFile file;
    const std::string& path = file.path;
    file.messages.clear();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace mediatest
