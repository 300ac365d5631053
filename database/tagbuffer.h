// The tag editor's buffer as the tag command prepares it from the selected rows.
#pragma once

#include "media/records.h"

namespace database {

// One selected row: Title, Artist, Album and Comment (at most 30 bytes each), Year (4) and the
// Genre text of its record; the marker is "NO_" when all of them together are blank, else "TAG".
media::TTagRecord tagFromRecord(const media::TTrackRecord& record);
// Several rows: the marker "TAG" and every field empty, so each file keeps what is not typed.
media::TTagRecord tagForSeveralRows();

}  // namespace database
