// The player's three icons, in the order the file types name them: 0 the program, 1 a media file,
// 2 a playlist.
#pragma once

#include <QPixmap>

#include <string>

namespace player {

QPixmap MainIcon(int size = 16);
QPixmap MediaFileIcon(int size = 32);
QPixmap PlaylistIcon(int size = 32);

// The picture as PNG bytes.
std::string PngBytes(const QPixmap& picture);

}  // namespace player
