// The spectrum painter. Every input is bounded before use: FFT indices outside the data, NaN or
// huge magnitudes, and heights beyond the colour table all map to safe values.
#include "controls/tspectrum.h"

#include "controls/wingdi.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace controls {

TSpectrum::TSpectrum(int width, int height)
    : m_frame(std::max(1, width), std::max(1, height), QImage::Format_RGB32),
      m_background(std::max(1, width), std::max(1, height), QImage::Format_RGB32)
{
    m_frame.fill(Qt::black);
    m_background.fill(Qt::black);
}

TSpectrum::LevelColor TSpectrum::levelColorFor(int height)
{
    // A trace above 510 / 47, so that height 47 gives exactly 510: green at 0, red at 47.
    const long double factor = 10.851063829787234043L;
    const int t = static_cast<int>(std::floor(static_cast<long double>(height) * factor));
    if (t < 255)
        return {t, 255};
    return {255, std::max(0, 510 - t)};  // heights past 47 stay red
}

void TSpectrum::SetMaxLevel(int n)
{
    n = std::clamp(n, 0, kMaxLevel);
    MaxLevel = n;
    for (int h = 0; h <= n; ++h)
        LevelColors[static_cast<size_t>(h)] = levelColorFor(h);
}

void TSpectrum::SetBackground(bool use, const QImage& picture)
{
    UseBackground = use;
    if (picture.isNull())
        return;
    QPainter p(&m_background);
    p.drawImage(0, 0, picture);
}

int TSpectrum::columnHeight(std::span<const float> fft, int column) const
{
    const long long index = static_cast<long long>(column) * Step + 5;
    const long long available = std::min<long long>(kFftValues, static_cast<long long>(fft.size()));
    if (index < 0 || index >= available)
        return 0;
    const double v = std::fabs(static_cast<double>(fft[static_cast<size_t>(index)]));
    const int maxLevel = std::clamp(MaxLevel, 0, kMaxLevel);
    const double scaled = v * 500.0;
    if (std::isnan(scaled))
        return 0;
    if (scaled >= maxLevel)
        return maxLevel;
    return static_cast<int>(scaled);
}

void TSpectrum::Draw(std::span<const float> fft, int XOffset, int YOffset)
{
    QPainter p(&m_frame);
    const int w = m_frame.width();
    const int h = m_frame.height();
    if (ClearBackground) {
        gdi::fillRect(p, {0, 0, w, h}, BackColor);
        if (UseBackground)
            p.drawImage(0, 0, m_background);
    }
    const int base = YOffset + h;
    for (int i = 0; i < kColumns; ++i) {
        const int c = columnHeight(fft, i);
        int& peak = Peaks[static_cast<size_t>(i)];
        int& level = Levels[static_cast<size_t>(i)];
        peak = std::clamp(c >= peak ? c : peak - PeakFall, 0, kMaxLevel);
        level = std::clamp(c >= level ? c : level - BarFall, 0, kMaxLevel);
        if (Mode == 0) {
            const int x = XOffset + i;
            gdi::line(p, {x, base}, {x, base - level}, BarColor);
            if (ShowPeaks)
                gdi::setPixel(p, x, base - peak, BarColor);
        } else if (Mode == 1) {
            const int x = XOffset + i * (BarWidth + 1);
            if (ShowPeaks)
                gdi::line(p, {x, base - peak}, {x + BarWidth, base - peak}, PeakColor);
            const LevelColor& lc = LevelColors[static_cast<size_t>(peak)];
            gdi::rectangle(p, {x, base - level, x + BarWidth, base}, QColor(lc.red, lc.green, 70), BarColor);
        }
    }
}

void TSpectrum::Draw(QPainter& target, std::span<const float> fft, int XOffset, int YOffset)
{
    Draw(fft, XOffset, YOffset);
    target.drawImage(0, 0, m_frame);
}

}  // namespace controls
