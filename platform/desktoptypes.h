// File types reach the desktop: a hidden launcher for one program command, the MIME types of its
// extensions and the user's default-application entries, so that a double click on such a file
// in a file manager starts our program with it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DesktopFileType {
    std::string id;                       // "quorvalen-file": names the launcher "<id>.desktop"
    std::string description;              // the launcher's name, "Media File"
    std::vector<std::string> arguments;   // put between the program and the opened file
    std::vector<std::string> extensions;  // ".mp3" or "mp3"
    // A PNG picture for the launcher (the type's icon), installed as the icon "<id>"; none when empty.
    std::string iconPng = {};
};

// $XDG_DATA_HOME and $XDG_CONFIG_HOME when set to an absolute path, else ~/.local/share and
// ~/.config; without a trailing "/".
std::string xdgDataHome();
std::string xdgConfigHome();

// The MIME types the desktop gives files of this extension (case ignored): the standard ones of
// the player's formats, else a type of our own, "application/x-quorvalen-<extension>".
std::vector<std::string> mimeTypesForExtension(std::string_view extension);

// Writes the type's icon, when it has one, to <data home>/icons/hicolor/32x32/apps/<id>.png; then
// <data home>/applications/<id>.desktop starting `programPath` with the type's arguments
// and the file; for extensions without a standard type a MIME package <data home>/mime/packages/
// <id>.xml, after which update-mime-database refreshes <data home>/mime when it is installed (its
// absence or failure is no error); then makes the launcher the default application of every type
// in <config home>/mimeapps.list, keeping the rest of that file. Each file is replaced
// atomically. False when the type is malformed or a file could not be read or written; files
// written before the failure stay.
bool registerDesktopFileType(const DesktopFileType& type, const std::string& programPath);

}  // namespace platform
