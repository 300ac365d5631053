// File names as the file system gives them, held in a QString without losing a byte. Linux names
// are bytes: most are UTF-8, but a name copied from elsewhere may hold bytes that are not (a
// name in code page 1251). Such a name must still open, play and be saved back as it was; only
// what the screen shows of it is decoded.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace platform {

// Valid UTF-8 as its characters; every byte that is not part of a well-formed sequence as the
// lone surrogate U+DC00 + byte (as Python's "surrogateescape" does), which no text holds.
QString pathToQString(std::string_view bytes);
// The bytes again: exactly those pathToQString was given.
std::string pathBytes(const QString& path);
// For the screen only: a name that is not UTF-8 shown as code page 1251 text.
QString pathForDisplay(const QString& path);
// Whether the path holds bytes that are not UTF-8.
bool hasRawBytes(const QString& path);

}  // namespace platform
