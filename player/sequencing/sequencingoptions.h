// The profile's share of play sequencing: the options that steer a start (report, centring,
// break after one track, tag update) and the stored crossfade table, plus the scroll rule that
// keeps the playing row in the middle of the list.
#pragma once

#include "player/sequencing/crossfade.h"

namespace platform {
class IniFile;
}

namespace player {

struct SequencingOptions {
    bool report = true;           // Options/Report: write the daily play report
    bool playlistCenter = false;  // Options/PlaylistCenter: keep the playing row in view
    bool breakOneTrack = false;   // Options/Break1: a break applies to one track only
    bool autoupdateTag = true;    // Options/AutoupdateTag: the playing row becomes the selected row
};

SequencingOptions readSequencingOptions(const platform::IniFile& ini);
void writeSequencingOptions(platform::IniFile& ini, const SequencingOptions& options);

// Crossfade/Settings read into a cleared table: a short value replaces only the first bytes and
// the rest stays zero, a missing value leaves every record zero.
CrossfadeTable readStoredCrossfade(const platform::IniFile& ini);
void writeStoredCrossfade(platform::IniFile& ini, const CrossfadeTable& table);

// The first row to show so that row hlIndex sits in the middle of a list listHeight pixels high
// with rows rowHeight high; -1 when the row height is not known or no row plays.
int centeredTopRow(int hlIndex, int listHeight, int rowHeight);

}  // namespace player
