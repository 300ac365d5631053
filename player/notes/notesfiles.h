// A track's notes file: plain text, UTF-8 with CR LF line ends when written; read as UTF-8, or
// as code page 1251 when it is not valid UTF-8 (files kept from earlier versions or edited by hand).
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace player {

// The text of a notes file with "\n" line breaks (a trailing line break gives no extra line);
// none when the file cannot be read.
std::optional<QString> ReadNotesFile(const std::string& path);
// Writes every line of text followed by CR LF into a temporary file beside path and renames it
// over path, making the folder when it is missing; false (the old file untouched, error set to
// the reason) on failure.
bool WriteNotesFile(const std::string& path, const QString& text, std::string* error = nullptr);
// The bytes WriteNotesFile writes for text.
QByteArray NotesFileBytes(const QString& text);
// Moves notes kept under oldPath to path when only oldPath exists; false when nothing moved.
bool AdoptOldNotesFile(const std::string& oldPath, const std::string& path);

}  // namespace player
