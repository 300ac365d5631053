// The crossfade page's controls and the table behind them, and the share of a profile that
// sequencing keeps: the stored table and the options of a start.
#include "player/form1.h"

#include "controls/spinfloatedit.h"
#include "player/sequencing/crossfade.h"
#include "player/sequencing/sequencingoptions.h"
#include "player/sequencing/sequencingplayback.h"

#include <QAction>
#include <QCheckBox>

namespace player {

namespace {

CrossfadeControls groupOf(const controls::TSpinFloatEdit* mix, const controls::TSpinFloatEdit* fade,
                          const QCheckBox* mixOn, const QCheckBox* fadeOn)
{
    return {static_cast<double>(mix->Value()), static_cast<double>(fade->Value()), mixOn->isChecked(),
            fadeOn->isChecked()};
}

CrossfadeTable tableOfControls(const TForm1& f)
{
    CrossfadeTable t;
    readCrossfadeControls(t, groupOf(f.musmix, f.musfade, f.cbmusmix, f.cbmusfade),
                          groupOf(f.admix, f.adfade, f.cbadmix, f.cbadfade),
                          groupOf(f.jinmix, f.jinfade, f.cbjinmix, f.cbjinfade));
    return t;
}

}  // namespace

void TForm1::cbmusmixClick()
{
    if (!Sequencer || musmix == nullptr || cbjinfade == nullptr)
        return;  // still building the page
    // Only the times and flags: the stored on and reserved bytes of the records stay as held.
    readCrossfadeControls(Sequencer->table(), groupOf(musmix, musfade, cbmusmix, cbmusfade),
                          groupOf(admix, adfade, cbadmix, cbadfade), groupOf(jinmix, jinfade, cbjinmix, cbjinfade));
}

void TForm1::ShowCrossfadeTable(const CrossfadeTable& shown)
{
    // A copy: every control set below rewrites the live table, which may be the one given.
    const CrossfadeTable table = shown;
    const CrossfadeRecord& music = table.records[kClassMusic];
    const CrossfadeRecord& advert = table.records[kClassAdvert];
    const CrossfadeRecord& jingle = table.records[kClassJingle];
    if (Sequencer) {
        for (int c : {kClassMusic, kClassAdvert, kClassJingle})
            Sequencer->table().records[static_cast<std::size_t>(c)].heldBytes =
                table.records[static_cast<std::size_t>(c)].heldBytes;
    }
    musmix->SetValue(music.mixSeconds);
    musfade->SetValue(music.fadeSeconds);
    admix->SetValue(advert.mixSeconds);
    adfade->SetValue(advert.fadeSeconds);
    jinmix->SetValue(jingle.mixSeconds);
    jinfade->SetValue(jingle.fadeSeconds);
    cbmusmix->setChecked(music.mixOn);
    cbmusfade->setChecked(music.fadeOn);
    cbadmix->setChecked(advert.mixOn);
    cbadfade->setChecked(advert.fadeOn);
    cbjinmix->setChecked(jingle.mixOn);
    cbjinfade->setChecked(jingle.fadeOn);
    // Controls that already showed these values fired nothing; the table follows them all the same.
    cbmusmixClick();
}

void TForm1::LoadSequencingProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    const SequencingOptions options = readSequencingOptions(ini);
    ReportOn = options.report;
    cbCenterList->setChecked(options.playlistCenter);
    brOneTrack->setChecked(options.breakOneTrack);
    if (Sequencer) {
        Sequencer->modes().oneTrack = options.breakOneTrack;
        Sequencer->modes().autoupdateTag = options.autoupdateTag;
    }
    // Records 0 and 4 have no controls: only music, advert and jingle come back from a profile.
    ShowCrossfadeTable(readStoredCrossfade(ini));
    if (ReportOn)
        EnsureReportFolder();
}

void TForm1::SaveSequencingProfile(platform::IniFile& ini)
{
    writeStoredCrossfade(ini, Sequencer ? Sequencer->table() : tableOfControls(*this));
    SequencingOptions options;
    options.report = ReportOn;
    options.playlistCenter = cbCenterList->isChecked();
    options.breakOneTrack = brOneTrack->isChecked();
    options.autoupdateTag = Sequencer ? Sequencer->modes().autoupdateTag : true;
    writeSequencingOptions(ini, options);
}

}  // namespace player
