// Crossfade presets: the whole table saved as held, records 1 to 3 loaded back through the
// crossfade controls and nothing else.
#include "soundwindow.h"

#include "controls/spinfloatedit.h"
#include "player/sequencing/crossfade.h"
#include "player/sequencing/sequencingplayback.h"

#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>

#include <gtest/gtest.h>

#include <bit>

using namespace player;
using soundtest::SoundWindow;

namespace {

// One stored record: mix, fade, the on bytes and the reserved bytes, as hex.
std::string record(float mix, float fade, int mixOn, int fadeOn, int reserved0 = 0, int reserved1 = 0)
{
    std::string out;
    char buf[3];
    auto put = [&](std::uint8_t b) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        out += buf;
    };
    for (float f : {mix, fade}) {
        const auto bits = std::bit_cast<std::uint32_t>(f);
        for (int i = 0; i < 4; ++i)
            put(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    for (int b : {mixOn, fadeOn, reserved0, reserved1})
        put(static_cast<std::uint8_t>(b));
    return out;
}

std::string crp(const std::string& hex) { return "[Crossfade]\r\nSettings=" + hex + "\r\n"; }

class CrossfadePresetWindow : public SoundWindow {
protected:
    CrossfadeTable& table() { return form->Sequencer->table(); }
};

TEST_F(CrossfadePresetWindow, LoadingChangesRecordsOneToThreeOnlyAndSavingRoundTripsByteForByte)
{
    // Reserved bytes and an on byte of 2 come back as they were read.
    const std::string middle = record(2.5f, 3.0f, 2, 1, 0xAB, 0xCD) + record(1.0f, 0.5f, 1, 0, 7, 0) +
                               record(0.3f, 0.0f, 1, 0);
    const std::string file = crp(record(9, 9, 1, 1, 1, 1) + middle + record(8, 8, 1, 1, 2, 2));
    writePreset("Crossfade/Club.crp", file);
    open();
    ASSERT_EQ(form->cr_preset->count(), 1);
    // The table's own records 0 and 4, which no control shows.
    table().records[kClassCdOrLineIn] = CrossfadeRecord{4.0f, 5.0f, true, false, {}};
    table().records[kClassExplicit] = CrossfadeRecord{6.0f, 0.0f, false, false, {}};

    type(form->cr_preset, "club");
    EXPECT_EQ(form->musmix->Value(), 2.5L);
    EXPECT_EQ(form->musfade->Value(), 3.0L);
    EXPECT_TRUE(form->cbmusmix->isChecked());
    EXPECT_TRUE(form->cbadmix->isChecked());
    EXPECT_FALSE(form->cbadfade->isChecked());
    EXPECT_EQ(form->jinmix->Value(), 0.3L);
    EXPECT_EQ(table().records[kClassCdOrLineIn].mixSeconds, 4.0f);
    EXPECT_EQ(table().records[kClassExplicit].mixSeconds, 6.0f);
    EXPECT_EQ(table().records[kClassMusic].fadeSeconds, 3.0f);
    EXPECT_EQ(form->cr_preset->currentText(), "club");

    form->cr_preset->setEditText("Copy");
    form->SpeedButton16->click();
    EXPECT_EQ(programDir.read(presetPath("Crossfade/Copy.crp")),
              crp(record(4, 5, 1, 0) + middle + record(6, 0, 0, 0)));

    // Loaded into a table whose records 0 and 4 are the file's, the copy is the file itself.
    std::array<std::uint8_t, 60> bytes{};
    platform::IniFile(presetPath("Crossfade/Club.crp")).readBinary("Crossfade", "Settings", bytes.data(), 60);
    const CrossfadeTable fromFile = CrossfadeTable::fromBytes(bytes);
    table().records[0] = fromFile.records[0];
    table().records[4] = fromFile.records[4];
    type(form->cr_preset, "Club");
    form->cr_preset->setEditText("Again");
    form->SpeedButton16->click();
    EXPECT_EQ(programDir.read(presetPath("Crossfade/Again.crp")), file);
}

TEST_F(CrossfadePresetWindow, AnOnByteStaysOnlyWithATimeAndAShortFileLeavesTheRestAlone)
{
    // Music: mix on with time 0 (it does not stay on); advert: only its mix time is in the file.
    writePreset("Crossfade/Odd.crp", crp(record(0, 0, 0, 0) + record(0, 2, 1, 1) + record(1.5f, 0, 0, 0).substr(0, 8)));
    open();
    form->admix->SetValue(0.7L);
    form->adfade->SetValue(0.9L);
    form->cbadfade->setChecked(true);
    type(form->cr_preset, "Odd");
    EXPECT_FALSE(table().records[kClassMusic].mixOn);
    EXPECT_TRUE(table().records[kClassMusic].fadeOn);
    EXPECT_EQ(form->admix->Value(), 1.5L);
    EXPECT_EQ(form->adfade->Value(), 0.9L);
    EXPECT_TRUE(form->cbadfade->isChecked());
    EXPECT_EQ(table().records[kClassAdvert].fadeSeconds, 0.9f);

    // A name without a file does nothing; delete empties the box.
    type(form->cr_preset, "Nothing");
    EXPECT_EQ(form->admix->Value(), 1.5L);
    form->cr_preset->setEditText("Odd");
    form->SpeedButton17->click();
    EXPECT_FALSE(std::filesystem::exists(presetPath("Crossfade/Odd.crp")));
    EXPECT_EQ(form->cr_preset->currentText(), "");
    EXPECT_EQ(form->cr_preset->count(), 0);
}

}  // namespace
