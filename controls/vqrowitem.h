// The row record of a playlist view: the texts of its columns and its image.
#pragma once

#include <QString>

#include <array>

namespace controls {

struct TVirtualItem {
    QString Caption;
    std::array<QString, 11> SubItems;  // SubItems[c] is the text of column c + 1
    int ImageIndex = 0;

    friend bool operator==(const TVirtualItem&, const TVirtualItem&) = default;
};

}  // namespace controls
