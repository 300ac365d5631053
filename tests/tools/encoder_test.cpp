// The encoder stand-in's run without a player: the arguments, the output's name, the reports in
// their order, a stop asked by the answer or by a signal, a refused output, a failed source, and
// outputs of each shipped plug-in that decode again to the source's length and level.
#include "audiolib/ffmpegsource.h"
#include "platform/savefile.h"
#include "tools/encoder/encoderrun.h"
#include "tools/encoder/plugin.h"
#include "tools/encoder/transcode.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>

using namespace encoder;
namespace fs = std::filesystem;

namespace {

// A stereo 16-bit WAV of a 440 Hz tone at half scale.
void writeTone(const std::string& path, int rate, int frames)
{
    auto le = [](std::string& s, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const std::uint32_t data = static_cast<std::uint32_t>(frames) * 4;
    std::string s = "RIFF";
    le(s, 36 + data, 4);
    s += "WAVEfmt ";
    le(s, 16, 4);
    le(s, 1, 2);
    le(s, 2, 2);
    le(s, static_cast<std::uint32_t>(rate), 4);
    le(s, static_cast<std::uint32_t>(rate) * 4, 4);
    le(s, 4, 2);
    le(s, 16, 2);
    s += "data";
    le(s, data, 4);
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(16384 * std::sin(2 * M_PI * 440.0 * i / rate));
        le(s, static_cast<std::uint16_t>(v), 2);
        le(s, static_cast<std::uint16_t>(v), 2);
    }
    std::ofstream(path, std::ios::binary) << s;
}

struct Decoded {
    int rate = 0;
    std::int64_t frames = 0;
    double rms = 0;
};

std::optional<Decoded> decode(const std::string& path)
{
    int error = 0;
    auto src = audiolib::FfmpegSource::open(path, &error);
    if (!src)
        return std::nullopt;
    Decoded d;
    d.rate = src->rateHz();
    std::vector<float> buffer(4096 * static_cast<std::size_t>(src->channels()));
    double sum = 0;
    std::int64_t samples = 0;
    for (int n; (n = src->read(buffer.data(), 4096, nullptr)) > 0;) {
        d.frames += n;
        for (int i = 0; i < n * src->channels(); ++i)
            sum += double(buffer[static_cast<std::size_t>(i)]) * buffer[static_cast<std::size_t>(i)];
        samples += n * src->channels();
    }
    d.rms = samples > 0 ? std::sqrt(sum / double(samples)) : 0;
    return d;
}

std::string plugin(const char* name) { return std::string(QV_BIN_DIR) + "/plugins/" + name; }

struct Report {
    platform::WParam wParam;
    platform::LParam lParam;
};

class EncoderRun : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return dir.path().toStdString() + "/" + name; }
    EncoderArguments args(const std::string& source, const char* plug, const std::string& ext) const
    {
        return {1, source, dir.path().toStdString() + "/out", ext, plugin(plug)};
    }
    int run(const EncoderArguments& a)
    {
        fs::create_directories(path("out"));
        return runEncoder(
            a,
            [this](platform::WParam w, platform::LParam l) -> std::optional<platform::LResult> {
                reports.push_back({w, l});
                if (onReport)
                    return onReport(w, l);
                return 0;
            },
            terminate, [this](const std::string& text) { logged += text + "\n"; });
    }
    std::vector<std::string> outFiles() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path().toStdString() + "/out"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    QTemporaryDir dir;
    std::vector<Report> reports;
    std::function<std::optional<platform::LResult>(platform::WParam, platform::LParam)> onReport;
    std::atomic<bool> terminate{false};
    std::string logged;
};

}  // namespace

TEST(EncoderArgumentsTest, FiveArgumentsOfWhichTheFirstIsAWindow)
{
    std::string error;
    // Source and output folder are Linux names, byte for byte: a backslash is part of a name.
    const auto a = parseArguments({"1234", "/m/a\\b \xe9.wav", "/out\\x", ".mp3", "plugins\\mp3.cfg"}, &error);
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->window, 1234u);
    EXPECT_EQ(a->source, "/m/a\\b \xe9.wav");
    EXPECT_EQ(a->outputFolder, "/out\\x");
    EXPECT_EQ(a->extension, ".mp3");
    EXPECT_EQ(a->plugin, "plugins/mp3.cfg");
    EXPECT_FALSE(parseArguments({"12x", "a", "b", "c", "d"}, &error));
    EXPECT_FALSE(parseArguments({"1", "a", "b", "c"}, &error));
    EXPECT_FALSE(parseArguments({"1", "", "b", "c", "d"}, &error));

    EXPECT_EQ(outputPath("/m/Song.one.wav", "/out", ".mp3"), "/out/Song.one.mp3");
    EXPECT_EQ(outputPath("/m/Song.wav", "/out/", "ogg"), "/out/Song.ogg");
    EXPECT_EQ(partPath("/out/Song.ogg", 77), "/out/.Song.ogg.77.part");
}

TEST(EncoderPluginTest, KeysNumbersAndComments)
{
    std::string error;
    const auto p = parsePlugin("# mine\ncodec = libvorbis\r\nformat=ogg\nquality=4.5\nsamplerate=32000\nchannels=1\n", &error);
    ASSERT_TRUE(p) << error;
    EXPECT_EQ(p->codec, "libvorbis");
    EXPECT_EQ(p->format, "ogg");
    EXPECT_DOUBLE_EQ(p->quality, 4.5);
    EXPECT_EQ(p->sampleRate, 32000);
    EXPECT_EQ(p->channels, 1);
    EXPECT_FALSE(parsePlugin("codec=x\n", &error)) << "no format";
    EXPECT_FALSE(parsePlugin("codec=x\nformat=y\nbitrate=fast\n", &error));
    EXPECT_FALSE(parsePlugin("codec=x\nformat=y\nchannels=6\n", &error));
    EXPECT_FALSE(parsePlugin("codec=x\nformat=y\nspeed=1\n", &error));
    EXPECT_NE(error.find("speed"), std::string::npos);
    EXPECT_FALSE(parsePlugin("codec x\n", &error));
    EXPECT_FALSE(readPlugin("/nonexistent/x.cfg", &error));
    for (const char* shipped : {"mp3.cfg", "ogg.cfg", "wav.cfg"})
        EXPECT_TRUE(readPlugin(plugin(shipped), &error)) << shipped << ": " << error;
}

TEST_F(EncoderRun, EachShippedPluginWritesAFileThatDecodesToTheSource)
{
    const int rate = 44100;
    const int frames = rate * 2;
    writeTone(path("tone.wav"), rate, frames);
    for (const char* kind : {"mp3", "ogg", "wav"}) {
        reports.clear();
        ASSERT_EQ(run(args(path("tone.wav"), (std::string(kind) + ".cfg").c_str(), "")), kExitDone) << logged;
        const std::string out = path(std::string("out/tone.") + kind);
        const auto d = decode(out);
        ASSERT_TRUE(d) << kind;
        EXPECT_EQ(d->rate, rate) << kind;
        // Encoders pad and delay a little; never more than a few frames of theirs.
        EXPECT_NEAR(static_cast<double>(d->frames), frames, 2500) << kind;
        EXPECT_NEAR(d->rms, 0.5 / std::sqrt(2.0), 0.03) << kind;
        ASSERT_GE(reports.size(), 3u);
        EXPECT_EQ(reports.front().wParam, kReportStart);
        EXPECT_GT(reports.front().lParam, 0);
        EXPECT_EQ(reports.back().wParam, kReportEnd);
        for (std::size_t i = 1; i + 1 < reports.size(); ++i) {
            EXPECT_EQ(reports[i].wParam, kReportStep);
            EXPECT_EQ(reports[i].lParam, static_cast<platform::LParam>(i));
        }
        EXPECT_EQ(reports[reports.size() - 2].lParam, reports.front().lParam) << "the last step is the total";
    }
    EXPECT_EQ(outFiles(), (std::vector<std::string>{"tone.mp3", "tone.ogg", "tone.wav"}));
}

TEST_F(EncoderRun, AStopAnsweredToAStepLeavesNoPartAndReportsTheEnd)
{
    writeTone(path("long.wav"), 44100, 44100 * 4);
    onReport = [this](platform::WParam w, platform::LParam) -> std::optional<platform::LResult> {
        return w == kReportStep && reports.size() == 3 ? kAnswerStop : 0;
    };
    EXPECT_EQ(run(args(path("long.wav"), "mp3.cfg", "mp3")), kExitStopped);
    EXPECT_TRUE(outFiles().empty());
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports.back().wParam, kReportEnd);
}

TEST_F(EncoderRun, ASignalOrAGoneWindowStopsWithoutTheEndReport)
{
    writeTone(path("long.wav"), 44100, 44100 * 4);
    onReport = [this](platform::WParam w, platform::LParam) -> std::optional<platform::LResult> {
        if (w == kReportStep)
            terminate = true;
        return 0;
    };
    EXPECT_EQ(run(args(path("long.wav"), "ogg.cfg", "ogg")), kExitStopped);
    EXPECT_TRUE(outFiles().empty());
    EXPECT_NE(reports.back().wParam, kReportEnd);

    terminate = false;
    reports.clear();
    onReport = [](platform::WParam, platform::LParam) -> std::optional<platform::LResult> { return std::nullopt; };
    EXPECT_EQ(run(args(path("long.wav"), "ogg.cfg", "ogg")), kExitStopped);
    EXPECT_TRUE(outFiles().empty());
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(EncoderRun, TheSourceItselfIsNeverTheOutput)
{
    fs::create_directories(path("out"));
    writeTone(path("out/same.wav"), 8000, 800);
    const std::string before = [&] {
        std::ifstream in(path("out/same.wav"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    EXPECT_EQ(run(args(path("out/same.wav"), "wav.cfg", "wav")), kExitRefused);
    EXPECT_EQ(run(args(path("out/./same.wav"), "wav.cfg", ".WAV")), kExitDone) << "another name is another file";
    fs::remove(path("out/same.WAV"));
    std::ifstream in(path("out/same.wav"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
    EXPECT_TRUE(reports.empty() || reports.front().wParam == kReportStart);
    EXPECT_NE(logged.find("refused"), std::string::npos);
}

TEST_F(EncoderRun, PartsThatStoppedEncodersLeftGoOnceTheyAreOld)
{
    fs::create_directories(path("out"));
    const auto old = fs::file_time_type::clock::now() - platform::kStaleTempAge - std::chrono::minutes(1);
    for (const char* name : {".big.mp3.4242.part", ".keep.mp3.part", "note.4242.part"}) {
        std::ofstream(path(std::string("out/") + name)) << "half";
        fs::last_write_time(path(std::string("out/") + name), old);
    }
    std::ofstream(path("out/.other.ogg.77.part")) << "another encoder is writing this";
    writeTone(path("tone.wav"), 8000, 800);
    ASSERT_EQ(run(args(path("tone.wav"), "wav.cfg", "wav")), kExitDone) << logged;
    EXPECT_EQ(outFiles(),
              (std::vector<std::string>{".keep.mp3.part", ".other.ogg.77.part", "note.4242.part", "tone.wav"}));
}

TEST_F(EncoderRun, AFailureReportsNoEndAndLeavesNothing)
{
    std::ofstream(path("noise.mp3")) << "this is no audio file at all";
    EXPECT_EQ(run(args(path("noise.mp3"), "mp3.cfg", "mp3")), kExitFailed);
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(outFiles().empty());
    writeTone(path("tone.wav"), 8000, 800);
    EXPECT_EQ(run(args(path("tone.wav"), "missing.cfg", "mp3")), kExitFailed);
    EXPECT_EQ(run({1, path("tone.wav"), path("no-such-folder"), "mp3", plugin("mp3.cfg")}), kExitFailed);
    EXPECT_TRUE(reports.empty());
}
