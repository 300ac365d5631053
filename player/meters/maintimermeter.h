// The level meter of the meters page: how high a level draws, the meter picture it reveals and
// the frame painted each time.
//
// The window makes the picture once for its paint boxes' size, and Timer1Timer calls meterLevel
// for each channel of deck A's level and paintLevelMeter into each box's image.
#pragma once

#include <QImage>

namespace player {

constexpr int kMeterMaxLevel = 109;

// A level of 0..128 in meter pixels: scaled by 109/127, rounded, at most 109 (never negative).
int meterLevel(int level);
// The meter's picture: green at the bottom through yellow to red at the top.
QImage levelMeterPicture(int width, int height);
// The frame for level: white with a black outline above it, the picture's own rows below.
void paintLevelMeter(QImage& target, const QImage& picture, int level);

}  // namespace player
