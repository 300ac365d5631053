// The settings dialog on the real main window: what it shows, what OK writes into "system.ini",
// "player.ini", the presets file and the window's memory, what Cancel leaves alone, the restart
// warning, the colour panels, the preset list and the browse buttons.
#include "tests/player/modaldialog.h"
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "controls/vtqstatusbar.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "platform/desktoptypes.h"
#include "platform/registry.h"
#include "platform/usermessagesqt.h"
#include "player/sequencing/maintimer.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"
#include "player/settings/radiogroup.h"
#include "player/settings/settingsform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <filesystem>

using namespace player;
using playertest::whenShown;

namespace {

class SettingsWindow : public playertest::ManualClockWindowTest {
protected:
    void beforeCreate() override
    {
        form->LaunchProgram = [this](std::string_view program, const std::vector<std::string>&) {
            launched.emplace_back(program);
            return false;
        };
    }
    void SetUp() override
    {
        ManualClockWindowTest::SetUp();
        form->Ini.ShellExt = false;
    }

    // Runs the settings command; act works on the open dialog and closes it.
    void settings(const std::function<void(TfrmSettings&)>& act)
    {
        whenShown<TfrmSettings>(act);
        form->aSettingsExecute();
    }
    std::vector<engine::TAudioEngine*> decks()
    {
        return {engineOf(form->Sequencer->deckA()), engineOf(form->Sequencer->deckB())};
    }
    std::vector<platform::RecordedUserMessages::Shown> shownOf(const std::string& kind) const
    {
        std::vector<platform::RecordedUserMessages::Shown> of;
        for (const auto& s : messages.shown())
            if (s.kind == kind)
                of.push_back(s);
        return of;
    }
    std::string presetsFile() const { return programDir.path() + "/Presets/Encoder.prs"; }

    std::vector<std::string> launched;
};

}  // namespace

TEST_F(SettingsWindow, EveryControlShowsItsSetting)
{
    form->SetItemClasses("Reklama", "Jingl", QColor(1, 2, 3), QColor(4, 5, 6));
    form->DefBaseText = "Database\\Other.dfs";
    form->DefBase = platform::programPath(form->DefBaseText);
    form->CloseAllowed = false;
    form->ReportOn = false;
    form->Ini.NoCopy = false;
    form->AllowSort = true;
    form->SilenceDetectorOn = true;
    form->MainTick->silence() = SilenceDetector{true, 61, 3};
    form->QuietList = "Lists/emergency.m3u";
    form->Encoder = EncoderSettings{"Temp/Out", "ogg", "ogg.cfg", 0, "Ogg", false};
    form->MonType = 1;
    form->SetCutSilence(false);
    form->MuteLevel = -12;
    engine::EngineSettings engine = engine::engineSettings();
    engine.Priority = 2;
    engine.Lg = true;
    engine::setEngineSettings(engine);
    bool checked = false;
    settings([&](TfrmSettings& d) {
        EXPECT_EQ(d.windowTitle(), "Preferences");
        EXPECT_EQ(d.edAdvert->text(), "Reklama");
        EXPECT_EQ(d.edJingl->text(), "Jingl");
        EXPECT_EQ(d.Panel1->palette().color(QPalette::Window), QColor(1, 2, 3));
        EXPECT_EQ(d.Panel2->palette().color(QPalette::Window), QColor(4, 5, 6));
        EXPECT_EQ(d.Panel1->toolTip(), QStringLiteral("Цвет в плейлисте"));
        EXPECT_EQ(d.edDefBase->text(), "Database\\Other.dfs");
        EXPECT_EQ(d.rgClose->itemIndex(), 0);
        EXPECT_FALSE(d.cbReport->isChecked());
        EXPECT_FALSE(d.cbNoCopy->isChecked());
        EXPECT_FALSE(d.cbRegShell->isChecked());
        EXPECT_TRUE(d.cbSortList->isChecked());
        EXPECT_TRUE(d.cbSortList->isHidden()) << "player.ini AllowSort is off";
        EXPECT_EQ(d.RadioGroup1->itemIndex(), 2);
        EXPECT_TRUE(d.cbQuiet->isChecked());
        EXPECT_EQ(d.tbTime->value(), 61);
        EXPECT_EQ(d.Label5->text(), "01 m 01 s");
        d.tbTime->setValue(600);
        EXPECT_EQ(d.Label5->text(), "10 m 00 s");
        EXPECT_TRUE(d.RadioButton3->isChecked());
        EXPECT_EQ(d.edList->text(), "Lists/emergency.m3u");
        EXPECT_EQ(d.edto->text(), "Temp/Out");
        EXPECT_EQ(d.cbcodec->currentIndex(), -1) << "no presets file";
        EXPECT_EQ(d.prscomm->text(), "ogg.cfg");
        EXPECT_EQ(d.prsext->text(), "ogg");
        EXPECT_FALSE(d.cbencparam->isChecked());
        EXPECT_EQ(d.RadioGroup3->itemIndex(), 1);
        EXPECT_EQ(d.montype->itemIndex(), 1);
        EXPECT_FALSE(d.cbCutSilence->isChecked());
        EXPECT_EQ(d.mutelev->value(), -12);
        ASSERT_NE(d.Edit1, nullptr);
        EXPECT_EQ(d.Edit1->text(), "-12");
        EXPECT_EQ(d.PageControl1->currentIndex(), 0);
        checked = true;
        d.Button3->click();
    });
    EXPECT_TRUE(checked);

    form->Ini.AllowSort = true;
    settings([&](TfrmSettings& d) {
        EXPECT_FALSE(d.cbSortList->isHidden());
        d.Button3->click();
    });
}

TEST_F(SettingsWindow, OkWritesTheFilesAndTheWindowsSettingsInOrder)
{
    settings([&](TfrmSettings& d) {
        d.edAdvert->setText("Spot");
        d.edJingl->setText("Ident");
        messages.pushColor(0x0000FF);  // red, as 0x00BBGGRR
        d.Panel1Click();
        d.edDefBase->setText("/bases/station.dfs");
        d.rgClose->button(0)->click();
        d.cbReport->setChecked(false);
        d.cbNoCopy->setChecked(false);
        d.cbSortList->setChecked(true);
        d.RadioGroup1->button(2)->click();
        d.cbQuiet->setChecked(true);
        d.tbTime->setValue(45);
        d.RadioButton2->setChecked(true);
        d.edList->setText("/lists/emergency.m3u");
        d.edto->setText("/out");
        d.prsname->setText("Own");
        d.prscomm->setText("own.cfg");
        d.prsext->setText("mp3");
        d.Button8->click();  // Add
        d.cbcodec->setCurrentIndex(0);
        d.cbencparam->setChecked(false);
        d.RadioGroup3->button(1)->click();
        d.montype->button(1)->click();
        d.cbCutSilence->setChecked(false);
        d.mutelev->setValue(-7);
        d.Button1->click();
    });

    const platform::IniFile system(programDir.path() + "/system.ini");
    EXPECT_EQ(system.readInteger("Options", "Priority", -1), 2);
    EXPECT_EQ(system.readString("Options", "Lg", ""), "1");
    EXPECT_EQ(system.readInteger("Device", "MainDev", -1), 0) << "the rest of the file stays";
    const platform::IniFile player(programDir.path() + "/player.ini");
    EXPECT_EQ(player.readString("Options", "NoCopy", ""), "0");
    EXPECT_EQ(player.readString("Options", "ShellExt", ""), "0");
    EXPECT_FALSE(form->Ini.NoCopy);
    EXPECT_EQ(engine::engineSettings().Priority, 2);
    EXPECT_TRUE(engine::engineSettings().Lg);

    EXPECT_EQ(form->AdvertId, "Spot");
    EXPECT_EQ(form->JingleId, "Ident");
    for (controls::TVqListView* list : {form->LVMaster, form->LVSlave}) {
        EXPECT_EQ(list->AdvertKeyword, "spot");
        EXPECT_EQ(list->JingleKeyword, "ident");
        EXPECT_EQ(list->AdvertColor, QColor(255, 0, 0));
    }
    EXPECT_EQ(form->Sequencer->classNames().advertId, "Spot");
    EXPECT_EQ(form->DefBase, "/bases/station.dfs");
    EXPECT_FALSE(form->CloseAllowed);
    EXPECT_FALSE(form->ReportOn);
    EXPECT_TRUE(form->AllowSort);
    EXPECT_TRUE(form->SilenceDetectorOn);
    EXPECT_TRUE(form->MainTick->silence().on);
    EXPECT_EQ(form->MainTick->silence().intervalSeconds, 45);
    EXPECT_EQ(form->MainTick->silence().action, 2);
    EXPECT_EQ(form->QuietList, "/lists/emergency.m3u");
    EXPECT_EQ(form->MonType, 1);
    EXPECT_FALSE(form->CutSilence);
    for (engine::TAudioEngine* deck : decks()) {
        EXPECT_FALSE(deck->SkipSilence);
        EXPECT_EQ(deck->StreamFlags, static_cast<std::int32_t>(audiolib::kSpeakerFront));
    }
    EXPECT_EQ(form->MuteLevel, -7);
    EXPECT_EQ(form->Encoder.OutDir, "/out");
    EXPECT_EQ(form->Encoder.PresetIndex, 0);
    EXPECT_EQ(form->Encoder.PresetName, "Own");
    EXPECT_EQ(form->Encoder.Command, "own.cfg");
    EXPECT_EQ(form->Encoder.Ext, "mp3");
    EXPECT_FALSE(form->Encoder.ShowParam);
    const auto presets = readEncoderPresets(presetsFile());
    ASSERT_TRUE(presets && presets->size() == 1);
    EXPECT_EQ((*presets)[0].Command, "own.cfg");

    // Then the refresh: the status texts and a new search server with the new base.
    EXPECT_EQ(form->StatusBar1->Panels()[4]->Text(), QStringLiteral("Приоритет: High"));
    EXPECT_EQ(form->StatusBar1->Panels()[3]->Text(), "F/R Split");
    EXPECT_EQ(launched.size(), 1u);
    EXPECT_TRUE(shownOf("messageBox").size() >= 1) << "the server that cannot start says so";
}

TEST_F(SettingsWindow, CancelKeepsEverythingButStillRefreshesTheListsAndTheServer)
{
    form->SetItemClasses("commercial", "jingle", QColor(10, 10, 10), QColor(20, 20, 20));
    ASSERT_TRUE(writeEncoderPresets(presetsFile(), {{"Kept", "kept.cfg", "mp3"}}));
    const std::string presetsBefore = programDir.read(presetsFile());
    // Something painted the lists in other colours meanwhile; the refresh puts the settings back.
    form->LVSlave->AdvertColor = QColor(99, 99, 99);
    settings([&](TfrmSettings& d) {
        d.edAdvert->setText("Changed");
        d.RadioGroup1->button(3)->click();
        d.cbNoCopy->setChecked(false);
        d.cbCutSilence->setChecked(false);
        d.Button7->click();  // Del: only in the dialog's list
        EXPECT_EQ(d.cbcodec->count(), 0);
        d.Button3->click();
    });
    EXPECT_FALSE(std::filesystem::exists(programDir.path() + "/player.ini"));
    EXPECT_EQ(programDir.read("system.ini"), "[Device]\nMainDev=0\n");
    EXPECT_EQ(programDir.read(presetsFile()), presetsBefore);
    EXPECT_EQ(form->AdvertId, "commercial");
    EXPECT_TRUE(form->Ini.NoCopy);
    EXPECT_TRUE(form->CutSilence);
    EXPECT_EQ(engine::engineSettings().Priority, 1);
    EXPECT_EQ(form->LVSlave->AdvertColor, QColor(10, 10, 10));
    EXPECT_EQ(launched.size(), 1u);
}

TEST_F(SettingsWindow, TheRestartWarningFollowsAChoiceOfTheSecondDevice)
{
    form->MonType = 0;
    settings([](TfrmSettings& d) {
        d.montype->button(2)->click();
        d.montype->button(0)->click();  // and back: still warned
        d.Button3->click();
    });
    auto boxes = shownOf("messageBox");
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].text, "Настройки вступят в силу после перезапуска программы");
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].flags & 0xF0, platform::MB_ICONWARNING);

    messages.clear();
    form->MonType = 2;
    form->Messages[9] = QStringLiteral("Restart!");
    settings([](TfrmSettings& d) {
        d.montype->button(2)->click();
        d.Button1->click();
    });
    for (const auto& box : shownOf("messageBox"))
        EXPECT_NE(box.text, "Restart!");

    messages.clear();
    form->MonType = 0;
    settings([](TfrmSettings& d) {
        d.montype->button(2)->click();
        d.close();  // the title bar's close is a way of closing too
    });
    ASSERT_FALSE(shownOf("messageBox").empty());
    EXPECT_EQ(shownOf("messageBox")[0].text, "Restart!");
    EXPECT_EQ(form->MonType, 0);

    // The devices by name; the one chosen is written, for the next start.
    messages.clear();
    programDir.write("system.ini", "[Device]\nMainDev=0\nSecondDev=60\n");
    settings([](TfrmSettings& d) {
        EXPECT_EQ(d.cbMainDev->currentText(), QStringLiteral("0: Без звука"));
        EXPECT_EQ(d.cbSecondDev->currentText(), QStringLiteral("60: (нет в системе)")) << "a device the system lacks stays";
        d.cbSecondDev->setCurrentIndex(0);
        d.Button1->click();
    });
    ASSERT_FALSE(shownOf("messageBox").empty());
    EXPECT_EQ(shownOf("messageBox")[0].text, "Restart!");
    EXPECT_EQ(platform::IniFile(programDir.path() + "/system.ini").readInteger("Device", "SecondDev", -1), 0);
    EXPECT_EQ(platform::IniFile(programDir.path() + "/system.ini").readInteger("Device", "MainDev", -1), 0);
}

TEST_F(SettingsWindow, ColourPanelsOpenOnTheStoredColourAndTakeWhatTheDialogClosesWith)
{
    form->SetItemClasses("commercial", "jingle", QColor(0x11, 0x22, 0x33), QColor(0x44, 0x55, 0x66));
    settings([&](TfrmSettings& d) {
        messages.pushColor(0x00FF00);
        d.Panel2Click();
        EXPECT_EQ(d.Panel2->palette().color(QPalette::Window), QColor(0, 255, 0));
        // Opened again: on the stored colour, not on the panel's; cancelled: the stored colour.
        d.Panel2Click();
        EXPECT_EQ(d.Panel2->palette().color(QPalette::Window), QColor(0x44, 0x55, 0x66));
        const auto colors = shownOf("chooseColor");
        ASSERT_EQ(colors.size(), 2u);
        EXPECT_EQ(colors[1].text, std::to_string(platform::qtmessages::fromQColor(QColor(0x44, 0x55, 0x66))));
        d.Button1->click();
    });
    EXPECT_EQ(form->LVMaster->JingleColor, QColor(0x44, 0x55, 0x66));
}

TEST_F(SettingsWindow, PresetListEditing)
{
    ASSERT_TRUE(writeEncoderPresets(presetsFile(), {{"MP3", "mp3.cfg", "mp3"}, {"Ogg", "ogg.cfg", "ogg"}}));
    form->Encoder.PresetIndex = 5;  // past the end
    form->Encoder.Command = "stored.cfg";
    settings([&](TfrmSettings& d) {
        EXPECT_EQ(d.cbcodec->count(), 2);
        EXPECT_EQ(d.cbcodec->currentIndex(), -1);
        EXPECT_EQ(d.prscomm->text(), "stored.cfg");
        // Save and Del with nothing chosen change nothing.
        d.Button6->click();
        d.Button7->click();
        EXPECT_EQ(d.Presets.size(), 2u);
        d.prsname->setText(QString(120, 'n'));
        d.prscomm->setText("new.cfg");
        d.prsext->setText("wav");
        d.Button8->click();
        ASSERT_EQ(d.Presets.size(), 3u);
        EXPECT_EQ(d.Presets[2].Name, QString(100, 'n'));
        EXPECT_EQ(d.cbcodec->itemText(2), QString(100, 'n'));
        d.cbcodec->setCurrentIndex(1);
        EXPECT_EQ(d.prsname->text(), "Ogg");
        EXPECT_EQ(d.prscomm->text(), "ogg.cfg");
        d.Button7->click();  // Del: the next preset moves up and keeps the number
        EXPECT_EQ(d.cbcodec->count(), 2);
        EXPECT_EQ(d.cbcodec->currentIndex(), 1);
        EXPECT_EQ(d.prsname->text(), QString(100, 'n'));
        d.cbcodec->setCurrentIndex(0);
        d.prscomm->setText("edited.cfg");  // not saved with "Save"
        d.Button1->click();
    });
    const auto presets = readEncoderPresets(presetsFile());
    ASSERT_TRUE(presets);
    ASSERT_EQ(presets->size(), 2u);
    EXPECT_EQ((*presets)[0].Command, "mp3.cfg");
    EXPECT_EQ((*presets)[1].Command, "new.cfg");
    EXPECT_EQ(form->Encoder.Command, "edited.cfg") << "what the boxes hold is what the next run uses";
    EXPECT_EQ(form->Encoder.PresetName, "MP3");

    // More than 101 presets: the list grows.
    settings([&](TfrmSettings& d) {
        for (int i = 0; i < 110; ++i)
            d.Button8->click();
        d.Button1->click();
    });
    EXPECT_EQ(readEncoderPresets(presetsFile())->size(), 112u);
}

TEST_F(SettingsWindow, BrowseButtonsChangeTheirBoxOnlyWhenAChoiceWasMade)
{
    settings([&](TfrmSettings& d) {
        const QString before = d.edDefBase->text();
        d.Button2Click();  // cancelled
        EXPECT_EQ(d.edDefBase->text(), before);
        messages.pushText("/bases/other");
        d.Button2Click();
        EXPECT_EQ(d.edDefBase->text(), "/bases/other.dfs");
        messages.pushText("/lists/e.m3u");
        d.Button4Click();
        EXPECT_EQ(d.edList->text(), "/lists/e.m3u");
        messages.pushText("/encoded");
        d.Button5Click();
        EXPECT_EQ(d.edto->text(), "/encoded");
        const auto files = shownOf("openFileName");
        ASSERT_EQ(files.size(), 3u);
        EXPECT_EQ(files[0].text, "Database files (*.dfs)|*.dfs");
        EXPECT_EQ(files[2].text, "M3U Playlist|*.m3u");
        d.Button3->click();
    });
}

TEST_F(SettingsWindow, ShellTypesAreRegisteredAfterOkWhenAsked)
{
    settings([](TfrmSettings& d) {
        d.cbRegShell->setChecked(true);
        d.Button1->click();
    });
    EXPECT_TRUE(form->Ini.ShellExt);
    EXPECT_TRUE(platform::Registry::readString(platform::RegistryRoot::ClassesRoot, ".mp3", "").has_value());
    // With the media file's and the playlist's icons for the desktop.
    for (const char* id : {"quorvalen-file", "quorvalen-list"}) {
        const QImage icon(QString::fromStdString(platform::xdgDataHome() + "/icons/hicolor/32x32/apps/" + id + ".png"));
        EXPECT_EQ(icon.size(), QSize(32, 32)) << id;
    }
}

TEST_F(SettingsWindow, AClickOnTheClockChoosesItsColour)
{
    QPalette p = form->timelabel->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 128));
    form->timelabel->setPalette(p);
    form->timelabelClick();  // cancelled
    EXPECT_EQ(form->timelabel->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(shownOf("chooseColor").at(0).text, std::to_string(0x800000));
    messages.pushColor(0x008000);
    form->timelabelClick();
    EXPECT_EQ(form->timelabel->palette().color(QPalette::WindowText), QColor(0, 128, 0));
}
