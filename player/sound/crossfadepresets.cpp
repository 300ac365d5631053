// Crossfade presets: the whole crossfade table saved by name, and records 1 to 3 (music, advert,
// jingle) loaded back through the crossfade controls.
#include "player/form1.h"

#include "player/sequencing/crossfade.h"
#include "player/sequencing/sequencingplayback.h"
#include "player/sound/presetbox.h"

#include <QComboBox>

#include <algorithm>

namespace player {

namespace {

// The fields of a stored record: mix time, fade time, mix on, fade on, the reserved bytes.
constexpr std::array<std::size_t, 6> kFieldEnds{0, 4, 8, 9, 10, 12};

// current with every field that lies wholly within the first read bytes of file put over it: a
// short preset leaves the controls past its end as they are.
CrossfadeBytes overlayWholeFields(CrossfadeBytes current, const CrossfadeBytes& file, std::size_t read)
{
    for (std::size_t record = 0; record < 5; ++record) {
        for (std::size_t f = 1; f < kFieldEnds.size(); ++f) {
            const std::size_t from = record * kCrossfadeRecordBytes + kFieldEnds[f - 1];
            const std::size_t to = record * kCrossfadeRecordBytes + kFieldEnds[f];
            if (to <= read)
                std::copy(file.begin() + static_cast<std::ptrdiff_t>(from), file.begin() + static_cast<std::ptrdiff_t>(to),
                          current.begin() + static_cast<std::ptrdiff_t>(from));
        }
    }
    return current;
}

}  // namespace

void TForm1::cr_presetChange()
{
    const QString name = cr_preset->currentText();
    const CrossfadeBytes current = Sequencer ? Sequencer->table().toBytes() : CrossfadeTable{}.toBytes();
    CrossfadeBytes file = current;
    const long read = crossfadePresets().load(name.toStdString(), file.data(), file.size());
    if (read < 0)
        return;
    // Records 0 and 4 have no controls: the table keeps its own.
    ShowCrossfadeTable(CrossfadeTable::fromBytes(overlayWholeFields(current, file, static_cast<std::size_t>(read))));
    if (cr_preset->currentText() != name)
        setPresetBoxText(cr_preset, name);
}

void TForm1::SpeedButton16Click()
{
    const CrossfadeBytes bytes = Sequencer ? Sequencer->table().toBytes() : CrossfadeTable{}.toBytes();
    savePresetFromBox(cr_preset, crossfadePresets(), bytes.data(), bytes.size());
}

void TForm1::SpeedButton17Click()
{
    deletePresetOfBox(cr_preset, crossfadePresets());
}

}  // namespace player
