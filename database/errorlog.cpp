// Writing the error report.
#include "database/errorlog.h"

#include "platform/programfolder.h"
#include "platform/usermessages.h"

#include <fstream>

namespace database {

std::string errorLogPath() { return platform::programPath("Error_Base.txt"); }

void WriteErrorLog(const std::string& functionName, const std::string& message, const ErrorLogState& s)
{
    const std::string path = errorLogPath();
    platform::messageBox("Function: " + functionName + "\r\nExeption: " + message + "\r\n\r\nSaved file " + path +
                             " with error description.",
                         "Error", platform::MB_OK | platform::MB_ICONERROR);
    std::ofstream out(path, std::ios::app | std::ios::binary);
    if (!out)
        return;
    const std::string rule(49, '=');
    out << rule << '\n'
        << "Exception \"" << message << "\" in function \"" << functionName << "\"\n"
        << rule << '\n'
        << "List.Count = " << s.listCount << '\n'
        << "List2.Count = " << s.list2Count << '\n'
        << "Indexes.Count = " << s.indexesCount << '\n'
        << "ListView1.Items.Count = " << s.viewCount << '\n'
        << "List.Capacity = " << s.listCapacity << '\n'
        << "List2.Capacity = " << s.list2Capacity << '\n'
        << "Button3.Enabled = " << (s.searchEnabled ? 1 : 0) << '\n'
        << "BFName = " << s.BFName << '\n'
        << '\n';
}

}  // namespace database
