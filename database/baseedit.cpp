// Delete and Check base: records leave the base through the deleted flag, all at once at the end
// of the command, and the view keeps its place.
#include "database/basemainwindow.h"

#include "database/abortflag.h"
#include "database/filecheck.h"
#include "database/passscope.h"
#include "database/recordtext.h"
#include "database/strconst.h"
#include "database/tracklistmodel.h"
#include "platform/trash.h"
#include "platform/usermessages.h"

#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableView>

namespace database {

void TBase_main_window::Delete1Click(int tag)
{
    if (busy())
        return;
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    {
        // Server requests wait while the question and the report are open: a reload meanwhile
        // would free the records about to be removed.
        PassScope pass(m_passRunning, passCommands());
        const bool confirmed =
            tag != 1 ||
            platform::messageBox(_ask_delfile, "", platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES;
        if (confirmed)
            removeRows(rows, tag == 1);
    }
    finishPass();
}

void TBase_main_window::removeRows(const std::vector<int>& rows, bool toTrash)
{
    std::vector<TTrackRecord*> records;
    for (const int row : rows)
        records.push_back(Base.List[static_cast<std::size_t>(row)]);
    std::string notTrashed;
    for (TTrackRecord* r : records) {
        if (toTrash) {
            const std::string path(storedBytes(*r, Field::FileName));
            std::string error;
            // Never deleted for good: a file the trash does not take stays on the disk.
            if (!platform::moveToTrash(path, &error))
                notTrashed += "\r\n" + path + " (" + error + ")";
        }
        Base.markDeleted(r);
    }
    const int scroll = ListView1->verticalScrollBar()->value();
    Base.purgeDeleted();
    m_model->refresh();
    ListView1->verticalScrollBar()->setValue(scroll);
    Modified = true;
    CalcTotalTime(0);
    Label3->setText(QString::number(Base.size()));
    if (!notTrashed.empty())
        platform::messageBox(Texts.NotTrashed.toStdString() + notTrashed, kAppTitle,
                             platform::MB_OK | platform::MB_ICONWARNING);
}

void TBase_main_window::Button2Click()
{
    if (busy())
        return;
    if (platform::messageBox(_ask_checkbase, "Check Base", platform::MB_YESNO | platform::MB_ICONQUESTION) !=
            platform::IDYES ||
        Base.List2.empty()) {
        Gauge1->hide();
        return;
    }
    {
        PassScope pass(m_passRunning, passCommands());
        AbortFlag = false;
        Gauge1->setValue(0);
        Gauge1->show();
        const FileChecker checker;
        const CheckOutcome out = findMissingFiles(
            Base.List2, checker,
            [this](std::size_t done, std::size_t count) {
                Gauge1->setValue(static_cast<int>(done * 100 / count));
                if (onPassItem)
                    onPassItem(done);
                pumpMessages();
            },
            checkPumpPeriod, &AbortFlag);
        // A check stopped part way (the window closing) removes nothing.
        if (!out.aborted) {
            bool remove = !out.missing.empty();
            if (remove && out.present == 0) {
                // Not one file found: more likely a drive or share that is away than a library
                // that is gone.
                const std::string question = BaseTexts::Fill(Texts.NoFileFound, {std::to_string(out.missing.size())});
                remove = platform::messageBox(question, "Check Base",
                                              platform::MB_YESNO | platform::MB_ICONWARNING | platform::MB_DEFBUTTON2) ==
                         platform::IDYES;
            }
            if (remove)
                Base.markDeleted(out.missing);
            const std::size_t removed = remove ? out.missing.size() : 0;
            Base.purgeDeleted();
            Base.showAll();
            m_model->refresh();
            Modified = true;
            std::string text = std::to_string(removed) + _str1;
            if (out.unreachable > 0)
                text += "\r\n" + BaseTexts::Fill(Texts.Unreachable, {std::to_string(out.unreachable)});
            platform::messageBox(text, "Base", platform::MB_OK | platform::MB_ICONINFORMATION);
            Label3->setText(QString::number(Base.size()));
            CalcTotalTime(0);
        }
        Gauge1->hide();
        AbortFlag = false;
    }
    finishPass();
}

}  // namespace database
