// The player's emblem (a dark blue disc with a red centre), drawn at any size: the tray icon and
// the About box's logo.
#pragma once

#include <QPixmap>

namespace player {

QPixmap QuorvalenEmblem(int size);

}  // namespace player
