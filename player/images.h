// The player's image list: 16 x 16 pictures by index, shared by the status bar, the menus and the
// lists. Indices without a picture of their own are transparent.
#pragma once

#include <QList>
#include <QPixmap>

namespace player {

inline constexpr int kImageLoading = 38;  // the status bar's panel while the player starts
inline constexpr int kImageCpu = 41;      // the processor load panel
inline constexpr int kImageMemory = 42;   // the memory panel

const QList<QPixmap>& PlayerImages();

}  // namespace player
