// TSpectrum: paints one frame of a spectrum analyser (129 columns as lines or bars, each with a
// slowly falling peak) from FFT magnitudes into its own bitmap, then copies it out in one go.
#pragma once

#include <QColor>
#include <QImage>

#include <array>
#include <span>

class QPainter;

namespace controls {

class TSpectrum {
public:
    static constexpr int kColumns = 129;
    static constexpr int kFftValues = 256;  // the magnitudes a deck fills in
    static constexpr int kMaxLevel = 100;

    struct LevelColor {
        int red = 0;
        int green = 0;
    };

    TSpectrum(int width, int height);

    QColor BackColor = QColor(0, 0, 0);
    int MaxLevel = 100;
    QColor BarColor = QColor(255, 255, 255);
    QColor PeakColor = QColor(255, 255, 0);
    int Mode = 0;  // 0 lines, 1 bars, anything else no columns
    int Step = 1;
    bool ClearBackground = true;
    bool UseBackground = false;
    int PeakFall = 1;
    int BarFall = 3;
    int BarWidth = 5;
    bool ShowPeaks = true;
    std::array<int, kColumns> Peaks{};
    std::array<int, kColumns> Levels{};
    std::array<LevelColor, kMaxLevel + 1> LevelColors{};

    // MaxLevel := n (0 to 100) and the colours of the heights 0..n, green to red over 0..47.
    void SetMaxLevel(int n);
    void SetBackground(bool use, const QImage& picture = QImage());
    // Paints one frame from fft (only its first 256 values are read) and copies it to target
    // at (0, 0). Columns whose value lies outside the data show height 0.
    void Draw(QPainter& target, std::span<const float> fft, int XOffset, int YOffset);
    void Draw(std::span<const float> fft, int XOffset, int YOffset);  // into frame() only

    const QImage& frame() const { return m_frame; }
    static LevelColor levelColorFor(int height);

private:
    int columnHeight(std::span<const float> fft, int column) const;

    QImage m_frame;
    QImage m_background;
};

}  // namespace controls
