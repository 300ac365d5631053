// Generated audio fixtures and event pumping for the engine tests.
#include "testaudio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cmath>
#include <cstring>
#include <fstream>

namespace enginetest {

namespace {

void put32(std::ofstream& out, std::uint32_t v)
{
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
    out.write(b, 4);
}

void put16(std::ofstream& out, std::uint16_t v)
{
    const char b[2] = {char(v & 0xFF), char((v >> 8) & 0xFF)};
    out.write(b, 2);
}

}  // namespace

void writeWav(const std::string& path, const std::vector<std::int16_t>& interleaved)
{
    std::ofstream out(path, std::ios::binary);
    const auto dataBytes = static_cast<std::uint32_t>(interleaved.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, 2);
    put32(out, 44100);
    put32(out, 44100 * 4);
    put16(out, 4);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (std::int16_t s : interleaved)
        put16(out, static_cast<std::uint16_t>(s));
}

std::vector<std::int16_t> toneThenSilence(int toneFrames, int silenceFrames, int amplitude, double hz)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(toneFrames + silenceFrames) * 2, 0);
    for (int i = 0; i < toneFrames; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * hz * i / 44100.0)));
        out[2 * i] = v;
        out[2 * i + 1] = v;
    }
    return out;
}

void pumpEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool pumpUntil(const std::function<bool()>& pred, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs)
            return pred();
        pumpEvents();
        QThread::msleep(1);
    }
    return true;
}

}  // namespace enginetest
