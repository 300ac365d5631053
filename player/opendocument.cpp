// Opening a shipped document, or saying where it is.
#include "player/opendocument.h"

#include "platform/cp1251.h"
#include "platform/process.h"
#include "platform/usermessages.h"
#include "player/language/playertexts.h"

#include <QFileInfo>
#include <QString>

namespace player {

void OpenDocumentOrSayWhere(const std::string& path)
{
    if (!platform::openDocument(path) && QFileInfo::exists(QString::fromStdString(path)))
        SayWhereDocumentIs(path);
}

void SayWhereDocumentIs(const std::string& path)
{
    platform::messageBox(LanguageTexts().Text(PlayerText::NoProgramForFile) + "\r\n" + platform::decodeText(path),
                         "Quorvalen", platform::MB_OK | platform::MB_ICONINFORMATION);
}

}  // namespace player
