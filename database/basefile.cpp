// The main window's base file commands: load, save, clear.
#include "database/basemainwindow.h"

#include "controls/lang.h"
#include "database/dfsfile.h"
#include "database/tracklistmodel.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

namespace database {

namespace {

// The program folder's "Database" (made when missing), where the player looks for its base: new
// bases go there.
std::string databaseFolder()
{
    const std::string folder = platform::programPath("Database");
    QDir().mkpath(QString::fromStdString(folder));
    return folder;
}

// Where a dialog for the base file starts: at the file itself, or in the folder of new bases.
std::string dialogStart(const std::string& baseFile)
{
    return baseFile != "---" ? baseFile : databaseFolder();
}

// A name in "Database" that no file has, so nothing already there is replaced.
std::string newBaseFileName()
{
    const std::string stem =
        databaseFolder() + "/Base " + QDateTime::currentDateTime().toString("yyyy-MM-dd hh.mm.ss").toStdString();
    std::string name = stem + ".dfs";
    for (int n = 2; QFileInfo::exists(QString::fromStdString(name)); ++n)
        name = stem + " (" + std::to_string(n) + ").dfs";
    return name;
}

}  // namespace

bool TBase_main_window::LoadBase()
{
    Modified = false;
    // The old base goes first, so a reload never holds two bases at once.
    Base.ClearList();
    m_model->refresh();
    DfsLoadResult loaded;
    if (BFName != "---")
        loaded = readBaseFile(BFName);
    // A load that failed part way leaves an empty base: rows kept from it would be saved over the
    // whole file.
    if (loaded.ok)
        Base.assign(std::move(loaded.records));
    m_unreadBase = loaded.ok ? std::string() : BFName;
    m_model->refresh();
    Label3->setText(QString::number(Base.size()));
    Label5->setText(QString::fromStdString(BFName));
    ResetSearch();
    if (!loaded.ok) {
        const std::string text = "Cannot read " + BFName + ": " + loaded.error;
        if (m_boxesAfterAnswer) {
            // A reload for the player's hello: shown once the player has its answer, so the player
            // never sits waiting on a box of a window it cannot see.
            QTimer::singleShot(0, this, [text] {
                platform::messageBox(text, kAppTitle, platform::MB_OK | platform::MB_ICONERROR);
            });
        } else {
            platform::messageBox(text, kAppTitle, platform::MB_OK | platform::MB_ICONERROR);
        }
        return false;
    }
    return true;
}

bool TBase_main_window::SaveBase(const std::string& path)
{
    // Records removed by a delete or a check leave every list before anything is written.
    Base.purgeDeleted();
    m_model->refresh();
    std::string error;
    if (!writeDfsFile(path, Base.List2, &error)) {
        platform::messageBox("Cannot write " + path + ": " + error, kAppTitle,
                             platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    return true;
}

void TBase_main_window::saveOnExit()
{
    // A file that could not be read holds rows this window never had: it is left as it is, and
    // what is in memory goes to a new file as a base without a file does.
    const bool ownFile = baseFileRead();
    const std::string target = ownFile ? BFName : newBaseFileName();
    if (!SaveBase(target))
        return;
    if (!ownFile && BFName != "---")
        platform::messageBox("The base is saved to " + target + ": " + BFName +
                                 " could not be read and is left as it was",
                             kAppTitle, platform::MB_OK | platform::MB_ICONWARNING);
    Modified = false;
    BFName = target;
    m_unreadBase.clear();
}

bool TBase_main_window::Button5Click()
{
    // Saving frees the records a check or a delete has flagged: never under a pass walking them.
    if (busy())
        return false;
    bool saved = false;
    // Not offered to be saved over is a file that could not be read.
    const auto chosen = platform::userMessages().saveFileName("", controls::NamedFilter(Texts.DatabaseFiles, "*.dfs"),
                                                              dialogStart(baseFileRead() ? BFName : "---"), "");
    // A failed save keeps the old name and the changed mark: nothing was stored under the new one.
    if (chosen && !chosen->empty() && SaveBase(*chosen)) {
        Modified = false;
        BFName = *chosen;
        m_unreadBase.clear();
        saved = true;
    }
    Label5->setText(QString::fromStdString(BFName));
    return saved;
}

void TBase_main_window::Button6Click()
{
    if (m_passRunning || m_searching)
        return;
    const auto chosen = platform::userMessages().openFileName("", controls::NamedFilter(Texts.DatabaseFiles, "*.dfs"),
                                                              dialogStart(BFName));
    if (chosen && !chosen->empty()) {
        BFName = *chosen;
        LoadBase();
    }
    CalcTotalTime(0);
}

void TBase_main_window::Button8Click()
{
    if (m_passRunning || m_searching)
        return;
    ClearList();
    ResetSearch();
}

void TBase_main_window::ClearList()
{
    Base.ClearList();
    m_model->refresh();
    CalcTotalTime(0);
    Label3->setText("0");
}

}  // namespace database
