// The texts the database program writes itself while it runs, beyond its eight messages: the
// names of its file dialogs' filters and the words of the statistics. Built-in defaults that the
// language file "lang_b.ini" (section Texts) replaces.
#pragma once

#include "database/dialogs/statistics.h"

#include <QString>

#include <string>

namespace database {

struct BaseTexts {
    QString DatabaseFiles = QStringLiteral("Database files (*.dfs)");
    QString M3uPlaylist = QStringLiteral("M3U Playlist");
    QString AudioFiles = QStringLiteral("Audio Files (wav, mp3, ogg, wma, cda)");  // the preview deck's types
    StatWords Stat;

    // The keys the file holds; the others keep their texts.
    void Load(const std::string& langFile);
};

}  // namespace database
