// The player's audio error box.
#include "player/reporterror.h"

#include "platform/usermessages.h"

namespace player {

std::string audioErrorText(int code, const std::string& fileName, const std::string& funcName)
{
    return "Error: " + std::to_string(code) + ", \r\nFile: " + fileName + "\r\nFunc: " + funcName;
}

bool ReportAudioError(int code, const std::string& fileName, const std::string& funcName)
{
    if (code == 0)
        return true;
    platform::messageBox(audioErrorText(code, fileName, funcName), "Player: Error", platform::MB_ICONERROR);
    return false;
}

}  // namespace player
