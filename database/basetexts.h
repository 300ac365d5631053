// The texts the database program writes itself while it runs, beyond its eight messages: the
// names of its file dialogs' filters, the words of the statistics and what its boxes say. Built-in
// defaults that the language file "lang_b.ini" (section Texts) replaces.
#pragma once

#include "database/dialogs/statistics.h"

#include <QString>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace database {

struct BaseTexts {
    QString DatabaseFiles = QStringLiteral("Database files (*.dfs)");
    QString M3uPlaylist = QStringLiteral("M3U Playlist");
    QString AudioFiles = QStringLiteral("Audio Files (wav, mp3, ogg, wma, cda)");  // the preview deck's types
    StatWords Stat;
    // What the boxes say ("%1", "%2": the values Fill puts in).
    QString UnknownError = QStringLiteral("Неизвестная ошибка");
    // The registry's file, the desktop's data and config folders.
    QString FileTypeNotRegistered =
        QStringLiteral("Не удалось зарегистрировать тип файлов \".dfs\" в %1 или на рабочем столе в %2 и %3");
    QString CannotRead = QStringLiteral("Не удалось прочитать %1");  // the file; the reason follows
    QString CannotWrite = QStringLiteral("Не удалось записать %1");
    QString SavedElsewhere = QStringLiteral("База сохранена в %1: файл %2 не прочитан и оставлен как был");
    QString SameNamesNotCopied = QStringLiteral("Файлы с одинаковыми именами не скопированы:");
    QString PathsTooLong = QStringLiteral("Путь длиннее 255 байт, файлы не добавлены:");
    QString NotTrashed = QStringLiteral("Не удалось переместить в корзину, файлы остались на диске:");
    QString NoFileFound = QStringLiteral("Ни один файл базы не найден на диске. Возможно, диск или сетевая папка "
                                         "недоступны. Удалить из базы %1 записей?");
    QString Unreachable = QStringLiteral("Недоступно, записи оставлены: %1");
    // The playlist's file and the number of rows, then the rows.
    QString RowsNotWritten = QStringLiteral("В %1 не записано строк: %2 — их имя файла плейлист хранить не может "
                                            "(не UTF-8 или с переводом строки):");
    QString MoreRows = QStringLiteral("... (ещё %1)");
    QString TagNotReadBack = QStringLiteral("Не удалось прочитать тег из %1");
    QString TagNotWritten = QStringLiteral("Ошибка: не удалось записать тег в файл!");

    // The keys the file holds; the others keep their texts.
    void Load(const std::string& langFile);
    // The keys of the section "Texts".
    static std::vector<std::string> Keys();
    // The text (UTF-8) with its placeholders filled by media::fillText.
    static std::string Fill(const QString& text, std::initializer_list<std::string_view> values = {});
};

}  // namespace database
