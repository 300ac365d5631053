// The scheduled rows of the Main list.
#include "player/schedule/scheduledrows.h"

#include "player/playlist/playlistrows.h"

#include <algorithm>

namespace player {

int scheduleInsertionPoint(const controls::VqRowList& list)
{
    const int hl = list.HLIndex;
    return hl >= 0 && hl < list.rowCount() ? hl + 1 : 0;
}

int insertScheduledRows(controls::VqRowList& list, int at, const std::vector<controls::TVirtualItem>& rows)
{
    at = std::clamp(at, 0, list.rowCount());
    int k = 0;
    for (controls::TVirtualItem row : rows) {
        row.ImageIndex = kImageScheduledWaiting;
        list.insertRow(at + k, row);
        ++k;
    }
    return k;
}

controls::TVirtualItem scheduledFileRow(const QString& path)
{
    controls::TVirtualItem row;
    row.SubItems[kColPath] = path;
    row.ImageIndex = kImageScheduledWaiting;
    return row;
}

bool markScheduledRowStarted(controls::VqRowList& list, int row, bool inBlock)
{
    if (row < 0 || row >= list.rowCount())
        return inBlock;
    controls::TVirtualItem& item = list.Rows[static_cast<std::size_t>(row)];
    if (item.ImageIndex == kImageScheduledWaiting) {
        item.ImageIndex = kImageScheduledPlaying;
        return true;
    }
    return inBlock;
}

bool settleScheduledRows(controls::VqRowList& list, bool& inBlock)
{
    const int hl = list.HLIndex >= 0 && list.HLIndex < list.rowCount() ? list.HLIndex : -1;
    for (int i = hl + 1; i < list.rowCount(); ++i) {
        if (list.Rows[static_cast<std::size_t>(i)].ImageIndex == kImageScheduledWaiting)
            return false;  // the block is still to come
    }
    if (hl >= 0 && list.Rows[static_cast<std::size_t>(hl)].ImageIndex == kImageScheduledPlaying) {
        inBlock = true;
        return false;
    }
    std::vector<int> started;
    for (int i = 0; i < list.rowCount(); ++i) {
        if (list.Rows[static_cast<std::size_t>(i)].ImageIndex == kImageScheduledPlaying)
            started.push_back(i);
    }
    inBlock = false;
    if (started.empty())
        return false;
    list.deleteRows(started);  // the marks stay on their rows
    return true;
}

}  // namespace player
