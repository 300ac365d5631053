// The built-in texts of the player's messages (index = the number in the key "s0".."s9").
#include "player/playermessages.h"

namespace player {

const PlayerMessages& BuiltInMessages()
{
    static const PlayerMessages messages = {
        QStringLiteral("Ошибка: генератор не запущен!"),
        QStringLiteral("Сохранить текущий плейлист?"),
        QStringLiteral("Ошибка: база не запущена! Функция поиска в базе будет недоступна."),
        QStringLiteral("Треков"),
        QStringLiteral("Больше ничего не найдено!"),
        QStringLiteral("Детектор тишины"),
        QStringLiteral("Приоритет"),
        QStringLiteral("Bкл"),   // Latin B
        QStringLiteral("Bыкл"),  // Latin B
        QStringLiteral("Настройки вступят в силу после перезапуска программы"),
    };
    return messages;
}

}  // namespace player
