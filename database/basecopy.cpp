// Copy the selected rows' files to a folder. The base is not changed.
#include "database/basemainwindow.h"

#include "database/abortflag.h"
#include "database/copyplan.h"
#include "database/passscope.h"
#include "database/recordtext.h"
#include "platform/copyfile.h"
#include "platform/messageids.h"
#include "platform/usermessages.h"

#include <QProgressBar>

namespace database {

namespace {
constexpr const char* kCopyError = "Error: cannot copy file";
}

void TBase_main_window::N4Click()
{
    if (busy())
        return;
    platform::postMessage(handle(), platform::UM_CENTER_DIALOG, 0, 0);
    const auto folder = platform::userMessages().selectFolder("", "");
    if (!folder || folder->empty())
        return;
    std::vector<std::string> sources;
    for (const int row : selectedRows())
        sources.emplace_back(storedBytes(*Base.List[static_cast<std::size_t>(row)], Field::FileName));
    if (sources.empty())
        return;
    {
        PassScope pass(m_passRunning, passCommands());
        const CopyPlan plan = planCopies(sources, *folder);
        if (!plan.sameName.empty()) {
            // Said before the first copy, so no file is ever replaced by a namesake of this selection.
            std::string text = Texts.SameNamesNotCopied.toStdString();
            for (const std::string& s : plan.sameName)
                text += "\r\n" + s;
            platform::messageBox(text, kCopyError, platform::MB_OK | platform::MB_ICONERROR);
        }
        AbortFlag = false;
        Gauge1->setValue(0);
        Gauge1->show();
        const std::size_t n = plan.copies.size();
        for (std::size_t i = 0; i < n && !AbortFlag; ++i) {
            const CopyPlan::Copy& c = plan.copies[i];
            std::string reason;
            if (platform::copyFile(c.source, c.target, Options.OverwriteOnCopy, &reason) !=
                platform::CopyResult::Copied)
                platform::messageBox("Cannot copy file: " + c.source + "\r\n" + reason, kCopyError,
                                     platform::MB_OK | platform::MB_ICONERROR);
            Gauge1->setValue(static_cast<int>(i * 100 / n));
            if (onPassItem)
                onPassItem(i + 1);
            pumpMessages();
        }
        Gauge1->hide();
        AbortFlag = false;
    }
    finishPass();
}

}  // namespace database
