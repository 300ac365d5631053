// Test signals and measurements for the effect tests.
#include "signal.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace dsptest {

namespace {
constexpr double kPi = 3.14159265358979323846;

int frameCount(const std::vector<float>& x, int channels) { return static_cast<int>(x.size()) / channels; }
int endFrame(const std::vector<float>& x, int channels, int to) { return to < 0 ? frameCount(x, channels) : to; }
}  // namespace

std::vector<float> sine(double hz, double seconds, int channels, double amp, int rate)
{
    const int frames = static_cast<int>(seconds * rate);
    std::vector<float> x(static_cast<std::size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            x[static_cast<std::size_t>(i) * channels + c] = static_cast<float>(amp * std::sin(2 * kPi * hz * i / rate));
    return x;
}

std::vector<float> silence(double seconds, int channels, int rate)
{
    return std::vector<float>(static_cast<std::size_t>(seconds * rate) * channels, 0.0f);
}

std::vector<float> noise(double seconds, int channels, double amp, unsigned seed, int rate)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> dist(static_cast<float>(-amp), static_cast<float>(amp));
    std::vector<float> x(static_cast<std::size_t>(seconds * rate) * channels);
    for (float& v : x)
        v = dist(gen);
    return x;
}

double rms(const std::vector<float>& x, int channels, int channel, int from, int to)
{
    to = endFrame(x, channels, to);
    double sum = 0;
    for (int i = from; i < to; ++i) {
        const double v = x[static_cast<std::size_t>(i) * channels + channel];
        sum += v * v;
    }
    return to > from ? std::sqrt(sum / (to - from)) : 0.0;
}

double peak(const std::vector<float>& x, int channels, int channel, int from, int to)
{
    to = endFrame(x, channels, to);
    double p = 0;
    for (int i = from; i < to; ++i)
        p = std::max(p, static_cast<double>(std::fabs(x[static_cast<std::size_t>(i) * channels + channel])));
    return p;
}

double toneAmplitude(const std::vector<float>& x, int channels, int channel, double hz, int from, int to, int rate)
{
    to = endFrame(x, channels, to);
    const double w = 2 * kPi * hz / rate;
    const double coef = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (int i = from; i < to; ++i) {
        const double s = x[static_cast<std::size_t>(i) * channels + channel] + coef * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - coef * s1 * s2;
    return to > from ? 2.0 * std::sqrt(std::max(power, 0.0)) / (to - from) : 0.0;
}

double zeroCrossingHz(const std::vector<float>& x, int channels, int channel, int from, int to, int rate)
{
    to = endFrame(x, channels, to);
    double first = -1, last = -1;
    int crossings = 0;
    for (int i = from + 1; i < to; ++i) {
        const float a = x[static_cast<std::size_t>(i - 1) * channels + channel];
        const float b = x[static_cast<std::size_t>(i) * channels + channel];
        if (a < 0 && b >= 0) {
            const double t = (i - 1) + a / (a - b);  // interpolated crossing
            if (first < 0)
                first = t;
            else
                ++crossings;
            last = t;
        }
    }
    return crossings > 0 ? crossings * rate / (last - first) : 0.0;
}

double db(double ratio) { return 20.0 * std::log10(ratio); }

void processInBlocks(audiolib::dsp::Effect& fx, std::vector<float>& x, int channels, int block)
{
    const int frames = frameCount(x, channels);
    for (int i = 0; i < frames; i += block)
        fx.process(x.data() + static_cast<std::size_t>(i) * channels, std::min(block, frames - i));
}

bool allFinite(const std::vector<float>& x)
{
    for (float v : x)
        if (!std::isfinite(v))
            return false;
    return true;
}

}  // namespace dsptest
