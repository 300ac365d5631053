// The duration of a media file: an MP3 from its frame headers where they tell the length exactly,
// anything else by opening a decode-only stream in the audio library.
#include "media/tag.h"

#include "audiolib/audiolib.h"
#include "media/mpegduration.h"
#include "media/textutil.h"

#include <filesystem>

namespace media {

namespace {

// Single precision seconds, as the durations stored in playlists and the database were made.
std::int32_t durationMs(float seconds)
{
    const double ms = static_cast<double>(seconds) * 1000.0;
    if (!(ms > 0.0))
        return 0;
    return ms >= 2147483647.0 ? 2147483647 : static_cast<std::int32_t>(ms);
}

}  // namespace

std::int32_t GetFileDurationMs(const std::string& fileName)
{
    const std::string ext = asciiLower(std::filesystem::path(fileName).extension().string());
    // Counting an MP3's frames through the decoder costs far more than walking their headers,
    // which give the same count for every plain file.
    if (ext == ".mp3")
        if (const std::optional<MpegLength> length = MpegLengthFromHeaders(fileName))
            return durationMs(static_cast<float>(static_cast<double>(length->samples) / length->rateHz));
    audiolib::Handle stream = 0;
    if (ext == ".cda")
        stream = audiolib::cdStreamCreateFile(fileName, audiolib::kStreamDecode);
    else if (ext == ".wma")
        stream = audiolib::wmaStreamCreateFile(fileName, audiolib::kStreamDecode);
    else
        stream = audiolib::streamCreateFile(fileName, audiolib::kStreamDecode);
    if (stream == 0)
        return 0;
    const std::int32_t ms = GetStreamDurationMs(stream);
    audiolib::streamFree(stream);
    return ms;
}

std::int32_t GetStreamDurationMs(audiolib::Handle stream)
{
    // The frame headers of a plain MP3 give the count its stream makes by reading every packet.
    const std::int64_t bytes = audiolib::getLength(stream);
    return durationMs(bytes < 0 ? 0.0f : static_cast<float>(audiolib::bytesToSeconds(stream, bytes)));
}

}  // namespace media
