// What the tag, playlist and file-type services say in words of their own, in the language of the
// program that uses them: each program hands its texts over whenever it reads its language.
#pragma once

#include <string>

namespace media {

struct MediaTexts {
    std::string tagNotWritten = "Ошибка: не удалось записать тег в файл!";
    std::string playlistUnreadable = "Плейлист \"%1\" не читается: %2";  // the file, why
    // Why a playlist is refused: the most entries, the most lines it may hold.
    std::string tooManyEntries = "Больше %1 записей";
    std::string tooManyLines = "Больше %1 строк";
    // How many entries were left out, and on the next line the first of them.
    std::string pathsTooLong = "Пропущено записей плейлиста с путём длиннее 255 байт: %1";
    std::string firstLeftOut = "Первая: %1";
    // The desktop's data and config folders.
    std::string fileTypesNotRegistered = "Не удалось зарегистрировать типы файлов на рабочем столе в %1 и %2";
};

// User-interface thread.
const MediaTexts& mediaTexts();
void setMediaTexts(const MediaTexts& texts);

}  // namespace media
