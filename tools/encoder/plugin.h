// An encoder plug-in: a small text file of "key=value" lines ("#" starts a comment) naming the
// FFmpeg encoder, the container and the encoder's options.
#pragma once

#include <optional>
#include <string>

namespace encoder {

struct EncoderPlugin {
    std::string codec;      // an FFmpeg encoder name: "libmp3lame", "libvorbis", "pcm_s16le"
    std::string format;     // an FFmpeg container name: "mp3", "ogg", "wav"
    std::string extension;  // the output's extension when the player names none
    long bitrate = 0;       // bits per second; 0: the encoder's own choice
    double quality = -1;    // variable-rate quality (0..10 for Vorbis); below 0: not used
    int sampleRate = 0;     // 0: the source's (or the nearest the encoder takes)
    int channels = 0;       // 1 or 2; 0: the source's
};

// Nothing (with a message in *error) when a line is not "key=value", a key is unknown, a number
// does not read, or codec or format is missing.
std::optional<EncoderPlugin> parsePlugin(const std::string& text, std::string* error);
// The file at path, read and parsed; a file larger than 64 KiB is no plug-in.
std::optional<EncoderPlugin> readPlugin(const std::string& path, std::string* error);

}  // namespace encoder
