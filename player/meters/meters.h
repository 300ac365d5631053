// What the main window keeps for its level meters and spectrum: the meter picture, the spectrum
// painter and the FFT frame it reuses (TForm1::Meters; handlers in meters.cpp).
#pragma once

#include "controls/tspectrum.h"
#include "engine/audioengine.h"
#include "player/form1.h"
#include "player/sequencing/systemload.h"

#include <QImage>
#include <QObject>

#include <memory>

namespace player {

class FrameBox;

struct TForm1::MetersState {
    MetersState(int meterWidth, int meterHeight, int spectrumWidth, int spectrumHeight);

    QImage meterPicture;  // what a level reveals, from the bottom up
    controls::TSpectrum spectrum;
    engine::Spectrum fft{};
    CpuLoadMeter cpu;
    int wheelRemainder = 0;  // the part of a wheel notch not yet turned into a volume step
    FrameBox* left = nullptr;      // _left
    FrameBox* right = nullptr;     // _right
    FrameBox* paintFrame = nullptr;  // PaintFrame
    // The application's event filter for the wheel and the time label. Owned here rather than by
    // the window, so that it is gone before the window's widgets are torn down.
    std::unique_ptr<QObject> events;
};

// The spectrum painter as the player sets it up: bars, heights up to 47, every second FFT value.
void applyPlayerSpectrumSettings(controls::TSpectrum& spectrum);

}  // namespace player
