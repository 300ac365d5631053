// The MP3 the audio benchmarks decode: a minute of two moving tones with noise at 192 kbit/s,
// made once per run with the ffmpeg command-line tool.
#pragma once

#include <cstdlib>
#include <string>

namespace benchtest {

inline constexpr int kBenchMp3Seconds = 60;

// The file's path (made on first use; the program ends when ffmpeg cannot make it).
inline const std::string& benchMp3(const std::string& path)
{
    static const std::string made = [&path] {
        const std::string cmd =
            "ffmpeg -nostdin -v error -y -f lavfi -i "
            "\"aevalsrc=0.3*sin(2*PI*(200+50*sin(t))*t)+0.1*random(0)|0.3*sin(2*PI*330*t)+0.1*random(1):s=44100:d=" +
            std::to_string(kBenchMp3Seconds) + "\" -c:a libmp3lame -b:a 192k " + path + " >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0)
            std::abort();
        return path;
    }();
    return made;
}

}  // namespace benchtest
