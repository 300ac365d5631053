// The generator's texts in the language the player's operator chose ("LangDir" of system.ini):
// the section "Sorbelt" of the player's language file replaces the built-in ones.
#pragma once

#include <QString>

#include <string>

namespace sorbelt {

struct SorbeltTexts {
    QString Base = QStringLiteral("База:");
    QString Tracks = QStringLiteral("Треков:");
    QString Generate = QStringLiteral("Создать плейлист");
    QString NoBase = QStringLiteral("(нет)");
    QString PlayerConnected = QStringLiteral("Плеер подключён");
    QString PlayerNotConnected = QStringLiteral("Плеер не подключён");
    QString BaseNotRead = QStringLiteral("База не прочитана: ");    // followed by the reason
    QString NoTracks = QStringLiteral("В базе нет треков");
    QString ListNotWritten = QStringLiteral("Плейлист не записан: ");  // followed by the reason
    QString Written = QStringLiteral("Треков в плейлисте: %1");    // %1: the count
    QString NoPlayer = QStringLiteral("; плеер не подключён");     // each after Written
    QString HandedOver = QStringLiteral("; передан в плеер");
    QString NoAnswer = QStringLiteral("; плеер не ответил");

    // The keys the file holds; the others keep their texts.
    void Load(const std::string& languageFile);
};

// "LangDir" of the program folder's "system.ini" (empty when none is chosen).
std::string chosenLanguage();
// "<program folder>/Lang/<langDir>/lang.ini".
std::string languageFile(const std::string& langDir);

}  // namespace sorbelt
