// The duration of a media file, measured by opening a decode-only stream in the audio library.
#include "media/tag.h"

#include "audiolib/audiolib.h"
#include "media/textutil.h"

#include <filesystem>

namespace media {

std::int32_t GetFileDurationMs(const std::string& fileName)
{
    const std::string ext = asciiLower(std::filesystem::path(fileName).extension().string());
    audiolib::Handle stream = 0;
    if (ext == ".cda")
        stream = audiolib::cdStreamCreateFile(fileName, audiolib::kStreamDecode);
    else if (ext == ".wma")
        stream = audiolib::wmaStreamCreateFile(fileName, audiolib::kStreamDecode);
    else
        stream = audiolib::streamCreateFile(fileName, audiolib::kStreamDecode);
    if (stream == 0)
        return 0;
    const std::int64_t bytes = audiolib::getLength(stream);
    // Single precision seconds, as the durations stored in playlists and the database were made.
    const float seconds = bytes < 0 ? 0.0f : static_cast<float>(audiolib::bytesToSeconds(stream, bytes));
    audiolib::streamFree(stream);
    const double ms = static_cast<double>(seconds) * 1000.0;
    if (!(ms > 0.0))
        return 0;
    return ms >= 2147483647.0 ? 2147483647 : static_cast<std::int32_t>(ms);
}

}  // namespace media
