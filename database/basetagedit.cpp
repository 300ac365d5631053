// The tag editor over the selected rows: one edited tag written into every selected file, and each
// record updated from what its own file then holds.
#include "database/basemainwindow.h"

#include "database/abortflag.h"
#include "database/dialogs/tagedit.h"
#include "database/passscope.h"
#include "database/recordtext.h"
#include "database/tagbuffer.h"
#include "media/tag.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QTableView>

#include <unistd.h>

namespace database {

void TBase_main_window::id3v11Click()
{
    if (busy())
        return;
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    std::vector<TTrackRecord*> records;
    for (const int row : rows)
        records.push_back(Base.List[static_cast<std::size_t>(row)]);
    {
        // The dialog and the tag writer's boxes run the message loop: server requests wait.
        PassScope pass(m_passRunning, passCommands());
        TTagEdit dialog(Options.Tag_NoChangeGenre, this);
        ApplyCaptions(&dialog, "TagEdit.Captions");
        if (records.size() == 1) {
            dialog.Tag = tagFromRecord(*records.front());
            dialog.FileName = std::string(storedBytes(*records.front(), Field::FileName));
        } else {
            dialog.Tag = tagForSeveralRows();
        }
        execDialog(dialog);
        if (dialog.CloseState == 1) {
            const media::TTagRecord tag = dialog.Tag;
            const std::uint8_t genre = dialog.GenreByte;
            Gauge1->setValue(0);
            Gauge1->show();
            AbortFlag = false;
            QElapsedTimer sincePump;
            sincePump.start();
            // Closing the window stops the writing after the file in hand.
            for (std::size_t i = 0; i < records.size() && !AbortFlag; ++i) {
                TTrackRecord* r = records[i];
                const std::string path(storedBytes(*r, Field::FileName));
                try {
                    media::WriteTagRecord(path, tag, genre);
                    media::TTagRecord read;
                    bool readFailed = false;
                    const bool found = media::ReadTagRecord(path, read, &readFailed);
                    // A file that is gone or cannot be read keeps its record as it was.
                    if (!found && (readFailed || ::access(path.c_str(), F_OK) != 0))
                        reportError("id3v11Click", BaseTexts::Fill(Texts.TagNotReadBack, {path}));
                    else
                        Base.replaceTagFields(r, read);
                } catch (const std::exception& e) {
                    reportError("id3v11Click", e.what());
                }
                if (sincePump.elapsed() >= checkPumpPeriod.count()) {
                    Gauge1->setValue(static_cast<int>((i + 1) * 100 / records.size()));
                    pumpMessages();
                    sincePump.restart();
                }
            }
            Gauge1->hide();
            AbortFlag = false;
            ListView1->viewport()->update();
            Modified = true;
        }
    }
    finishPass();
}

}  // namespace database
