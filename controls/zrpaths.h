// Path helpers of the folder tree: virtual paths ("?.N" marks), last components, and shortening
// a path to fit a label.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class QLabel;

namespace controls {

// Real form of a tree path: a path that begins with "?." loses the mark and the character after
// it, and then everything from a further "?." on. Any other path is returned unchanged (Linux
// names may contain "?." anywhere).
std::string RealPath(std::string_view path);

// Whether a tree path is virtual (begins with "?.").
bool IsVirtualPath(std::string_view path);

// The text after the last "/" (the whole text without one; empty for a path ending in "/").
std::string LastPathComponent(std::string_view path);

// Whether a folder (path with its trailing "/") holds any entry.
bool FolderHasEntries(const std::string& folder);

// The text that fits: folders are cut from the front and replaced by ".../" until the text is
// no wider than the limit (or nothing is left to cut). widthOf measures a text.
std::string ShortenPath(const std::string& path, int limit, const std::function<int(const std::string&)>& widthOf);

// Puts the real form of the path into the label, shortened to its width (or to the given width
// when the label sizes itself to its text). Nothing without a label.
void ShowPathInLabel(QLabel* label, const std::string& path, int width);

// File names compared the way the tree looks them up: exact first, then without regard to case.
bool SameFileName(std::string_view a, std::string_view b);
int CompareFileNames(std::string_view a, std::string_view b);

}  // namespace controls
