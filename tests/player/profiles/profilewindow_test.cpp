// Profiles on the real main window on the "no sound" device: every control, deck flag and table a
// profile describes, the file text a save writes, the window's size, the profile menu and a save
// that cannot be written.
#include "tests/common/childrun.h"
#include "tests/player/captionsfit.h"
#include "tests/player/modaldialog.h"
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "controls/spinfloatedit.h"
#include "controls/tbar.h"
#include "controls/zrfoldertreeview.h"
#include "engine/audioengine.h"
#include "platform/inifile.h"
#include "player/sequencing/maintimer.h"
#include "player/sequencing/sequencingdeck.h"
#include "player/sequencing/sequencingplayback.h"
#include "player/about/dbgfrm.h"
#include "player/notes/notesfrm.h"
#include "player/settings/encoderpresets.h"
#include "player/settings/settingsform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

using namespace player;

namespace {

using Section = std::pair<std::string, std::vector<std::pair<std::string, std::string>>>;

// A profile's text as the ini writer lays it out.
std::string iniText(const std::vector<Section>& sections)
{
    std::string text;
    for (const auto& [name, keys] : sections) {
        if (!text.empty())
            text += "\r\n";
        text += "[" + name + "]\r\n";
        for (const auto& [key, value] : keys)
            text += key + "=" + value + "\r\n";
    }
    return text;
}

void setValue(std::vector<Section>& sections, const std::string& section, const std::string& key, const std::string& value)
{
    for (auto& [name, keys] : sections)
        if (name == section)
            for (auto& [k, v] : keys)
                if (k == key) {
                    v = value;
                    return;
                }
    ADD_FAILURE() << section << "/" << key << " is not in the profile";
}

std::string widthsHex(std::initializer_list<int> widths)
{
    std::string hex;
    for (int w : widths) {
        char b[9];
        std::snprintf(b, sizeof b, "%02X%02X%02X%02X", w & 0xFF, (w >> 8) & 0xFF, (w >> 16) & 0xFF, (w >> 24) & 0xFF);
        hex += b;
    }
    return hex + std::string(8 * (16 - widths.size()), '0');
}

// While it lives, this thread obeys file permissions even when it runs as root (capabilities are
// per thread: the effective set loses the overrides, the permitted set keeps them for the end).
class ObeyFilePermissions {
public:
    ObeyFilePermissions()
    {
        m_ok = ::syscall(SYS_capget, &m_header, m_saved) == 0;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            reduced[cap / 32].effective &= ~(1u << (cap % 32));
        m_ok = m_ok && ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~ObeyFilePermissions()
    {
        if (m_ok)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    ObeyFilePermissions(const ObeyFilePermissions&) = delete;
    ObeyFilePermissions& operator=(const ObeyFilePermissions&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_ok = false;
};

class ProfileWindow : public playertest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        audiolib::setManualClock(true);
        programDir.write("system.ini", "[Device]\nMainDev=0\n");
        std::filesystem::create_directories(profileFolder());
        makeForm();
        form->LaunchProgram = [](std::string_view, const std::vector<std::string>&) { return false; };
        form->FormCreate();
        form->maintimer->stop();
    }
    void TearDown() override
    {
        if (std::filesystem::exists(profileFolder()))
            std::filesystem::permissions(profileFolder(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add);
        WindowTest::TearDown();
        audiolib::setManualClock(false);
    }
    std::string profileFolder() const { return programDir.path() + "/Profile"; }
    std::string profile(const std::string& name) const { return profileFolder() + "/" + name; }
    std::string writeProfile(const std::string& name, const std::string& text)
    {
        return programDir.write("Profile/" + name, text);
    }
    std::vector<engine::TAudioEngine*> roleDecks()
    {
        return {engineOf(form->Sequencer->deckA()), engineOf(form->Sequencer->deckB())};
    }
    int columnWidth(controls::TVqListView* list, int c) { return list->header()->sectionSize(c); }
    QStringList menuCaptions() const
    {
        QStringList captions;
        for (QAction* a : form->mLoadProfile->actions())
            captions << a->text();
        return captions;
    }

    // Every key of the profile, in its order, each with a value other than its default.
    std::vector<Section> fullProfile() const
    {
        const std::string music = programDir.path() + "/music";
        std::filesystem::create_directories(music);
        const std::string zeros24(24, '0');
        return {
            {"Explorer", {{"Path", music}}},
            {"Font", {{"Name", "DejaVu Sans"}, {"Size", "10"}, {"Color", "255"}, {"Style", "6"}}},
            {"NotesFont", {{"Name", "Mono"}, {"Size", "12"}, {"Color", "0"}, {"Style", "2"}}},
            {"Equalizer", {{"On", "0"}, {"Settings", "FBFFFFFF" + std::string(88, '0')}, {"LastPreset", "Rock"}, {"Auto", "1"}}},
            {"Reverb", {{"Settings", "0000803F0000000000007A440000003F"}, {"On", "1"}, {"LastPreset", "Hall"}}},
            {"Echo", {{"Settings", "0000A0410000C8420000A6430000A643FFFFFFFF"}, {"On", "0"}, {"LastPreset", ""}}},
            {"Compressor", {{"Gain", "5"}}},
            {"Crossfade",
             {{"Settings", zeros24 + "0000A040000040400101" "0000" + zeros24 + "000000000000003F00010000" + zeros24},
              {"LastPreset", "Smooth"}}},
            {"Flanger2", {{"Settings", "0000004044AC00000000704100004040"}, {"On", "1"}, {"LastPreset", "F"}}},
            {"AutoAmp", {{"Settings", "3075000020030000CDCC4C3D0000003F"}, {"On", "0"}, {"LastPreset", "A"}}},
            {"Echo2", {{"Settings", "0000803F0000003F9A99993ECDCCCC3E"}, {"On", "1"}, {"LastPreset", "E2"}}},
            {"Jingles",
             {{"Path1", "/j/one.mp3"}, {"Path2", ""}, {"Path3", "Jingles\\three.wav"}, {"Path4", ""}, {"Path5", ""},
              {"Path6", ""}, {"Path7", ""}, {"Path8", ""}, {"Path9", "/j/nine.mp3"}}},
            {"QuietDetection", {{"On", "1"}, {"Interval", "30"}, {"Action", "3"}, {"List", "Lists\\emergency.m3u"}}},
            {"Columns", {{"Master", widthsHex({30, 0, 250, 50, 0})}, {"Slave", widthsHex({35, 0, 120, 45, 0})}}},
            {"HotKeys",
             {{"hk1", "112"}, {"hk2", "113"}, {"hk3", "114"}, {"hk4", "115"}, {"hk5", "116"}, {"hk6", "117"}, {"hk7", "118"}}},
            {"Options",
             {{"PlaylistCenter", "1"}, {"Report", "0"}, {"DefBase", "Database\\Other.dfs"}, {"ID_A", "Commercial"},
              {"ID_J", "JINGLE"}, {"TimeShowType", "1"}, {"JinglVolume", "80"}, {"NotesReadTag", "0"}, {"Break1", "1"},
              {"AutoupdateTag", "0"}, {"Visualization", "0"}, {"Volume", "64"}, {"MuteLevel", "-20"}, {"Close", "0"},
              {"JVol", "70"}, {"AllowSort", "1"}, {"RearVolume", "90"}, {"Color_J", "16711680"}, {"Color_A", "65280"},
              {"MonType", "1"}, {"ShowSecondTimeLabel", "1"}, {"FormWidth", "640"}, {"FormHeight", "480"},
              {"ClockFontColor", "32768"}, {"CutSilence", "0"}, {"Mine", "7"}}},
            {"Encoder",
             {{"OutDir", "Temp\\Out"}, {"Ext", ".ogg"}, {"Command", "oggenc -q5"}, {"PresetIndex", "2"},
              {"PresetName", "Ogg q5"}, {"ShowParam", "0"}}},
            {"TimeTable", {{"ScheduleState", "1"}, {"StartImmediately", "0"}, {"UseDate", "1"}}},
            {"Plugin", {{"Own", "v"}}},
        };
    }
};

TEST_F(ProfileWindow, AProfileSetsEveryControlAndASaveWritesItBackAsRead)
{
    std::vector<Section> keys = fullProfile();
    const std::string text = iniText(keys);
    const std::string path = writeProfile("Default.prf", text);
    form->LoadProfile(path);

    EXPECT_EQ(form->CurrentProfile, path);
    EXPECT_EQ(form->SHView->Directory(), programDir.path() + "/music");
    for (controls::TVqListView* list : {form->LVMaster, form->LVSlave}) {
        EXPECT_EQ(list->font().family(), QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(list->font().pointSize(), 10);
        EXPECT_TRUE(list->font().bold());
        EXPECT_TRUE(list->font().italic());
        EXPECT_FALSE(list->font().underline());
        EXPECT_EQ(list->palette().color(QPalette::Text), QColor(255, 0, 0));
        EXPECT_EQ(list->AdvertKeyword, QStringLiteral("commercial"));
        EXPECT_EQ(list->JingleKeyword, QStringLiteral("jingle"));
        EXPECT_EQ(list->JingleColor, QColor(0, 0, 255));
        EXPECT_EQ(list->AdvertColor, QColor(0, 255, 0));
    }
    EXPECT_EQ(form->Sequencer->classNames().advertId, "Commercial");
    for (int c : {0, 2, 3})
        EXPECT_EQ(columnWidth(form->LVMaster, c), (std::array{30, 0, 250, 50})[static_cast<std::size_t>(c)]) << c;
    EXPECT_EQ(columnWidth(form->LVSlave, 2), 120);
    EXPECT_EQ(columnWidth(form->LVSlave, 3), 45);
    EXPECT_DOUBLE_EQ(static_cast<double>(form->musmix->Value()), 5.0);
    EXPECT_TRUE(form->cbjinfade->isChecked());
    EXPECT_TRUE(form->cbCenterList->isChecked());
    EXPECT_TRUE(form->brOneTrack->isChecked());
    EXPECT_TRUE(form->MainTick->silence().on);
    EXPECT_EQ(form->MainTick->silence().intervalSeconds, 30);
    EXPECT_EQ(form->tbVolume->value(), 64);
    EXPECT_FALSE(form->EdToEnd2->isHidden());
    EXPECT_EQ(form->DefBase, programDir.path() + "/Database/Other.dfs");
    EXPECT_FALSE(form->CloseAllowed);
    EXPECT_TRUE(form->AllowSort);
    EXPECT_EQ(form->MonType, 1);
    for (engine::TAudioEngine* deck : roleDecks()) {
        EXPECT_EQ(deck->StreamFlags, static_cast<std::int32_t>(audiolib::kSpeakerFront));
        EXPECT_FALSE(deck->SkipSilence);
    }
    EXPECT_TRUE(form->Label10->isHidden());
    EXPECT_EQ(form->width(), 640);
    EXPECT_EQ(form->height(), 480);
    EXPECT_EQ(form->timelabel->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(form->JingleSlots[3], "Jingles\\three.wav");
    EXPECT_EQ(form->HotKeys[kHotKeyNotes], 118);
    EXPECT_EQ(form->JVol, 70);
    EXPECT_TRUE(form->cbSchedule->isChecked());
    EXPECT_TRUE(form->UseDate);

    // Saved back unchanged, the file is the same text, unknown keys and sections included.
    form->SaveProfile(path);
    EXPECT_EQ(programDir.read(path), text);
    EXPECT_TRUE(errorBoxes().empty());

    // Changed as the operator would, the save carries the changes and nothing else.
    messages.pushFont({"DejaVu Serif", 12, false, false, false, false, 0});
    form->N21Click();
    form->AllowSort = false;
    form->SetCutSilence(true);
    form->tbVolume->setValue(12);
    form->resize(700, 500);
    form->DefBase = "/elsewhere/base.dfs";
    form->LVMaster->header()->resizeSection(2, 260);
    form->SaveProfile(path);
    setValue(keys, "Font", "Name", "DejaVu Serif");
    setValue(keys, "Font", "Size", "12");
    setValue(keys, "Font", "Style", "0");
    setValue(keys, "Columns", "Master", widthsHex({30, 0, 260, 50, 0}));
    setValue(keys, "Options", "Volume", "12");
    setValue(keys, "Options", "AllowSort", "0");
    setValue(keys, "Options", "DefBase", "/elsewhere/base.dfs");
    setValue(keys, "Options", "FormWidth", "700");
    setValue(keys, "Options", "FormHeight", "500");
    setValue(keys, "Options", "CutSilence", "1");
    EXPECT_EQ(programDir.read(path), iniText(keys));
}

TEST_F(ProfileWindow, ANewFileHasEverySectionInTheProfilesOrderAndNothingUnknown)
{
    const std::string path = writeProfile("Default.prf", iniText(fullProfile()));
    form->LoadProfile(path);
    const std::string copy = profile("Copy.prf");
    form->SaveProfile(copy);
    std::vector<Section> expected = fullProfile();
    expected.pop_back();  // [Plugin]
    std::erase_if(expected[15].second, [](const auto& kv) { return kv.first == "Mine"; });
    EXPECT_EQ(programDir.read(copy), iniText(expected));

    // A window that never read a profile writes every section it has values for, in order.
    form.reset();
    makeForm();
    const std::string fresh = profile("Fresh.prf");
    form->SaveProfile(fresh);
    const platform::IniFile ini(fresh);
    EXPECT_EQ(ini.sections(), (std::vector<std::string>{"Explorer", "Font", "NotesFont", "Equalizer", "Reverb", "Echo", "Compressor",
                                                         "Crossfade", "Flanger2", "AutoAmp", "Echo2", "Jingles",
                                                         "QuietDetection", "Columns", "HotKeys", "Options", "Encoder", "TimeTable"}));
    EXPECT_EQ(ini.readInteger("Options", "FormWidth", 0), form->width());
}

TEST_F(ProfileWindow, MissingKeysTakeTheirDefaults)
{
    form->LoadProfile(writeProfile("Default.prf", "[Options]\nCutSilence=0\nAllowSort=1\nMonType=1\n"));
    form->LoadProfile(writeProfile("Empty.prf", "[Options]\nDefBase=\n"));
    for (engine::TAudioEngine* deck : roleDecks()) {
        EXPECT_TRUE(deck->SkipSilence) << "silence is cut unless a profile says not to";
        EXPECT_EQ(deck->StreamFlags, 0);
    }
    EXPECT_FALSE(form->Label10->isHidden());
    EXPECT_FALSE(form->AllowSort);
    EXPECT_EQ(form->width(), 799);
    EXPECT_EQ(form->height(), 573);
    EXPECT_EQ(form->LVMaster->JingleColor, QColor(0, 0, 0x80));
    EXPECT_EQ(form->LVMaster->AdvertColor, QColor(0x86, 0x86, 0x86));
    EXPECT_EQ(form->DefBase, programDir.path() + "/Database/Base.dfs");
    EXPECT_TRUE(form->CloseAllowed);
}

TEST_F(ProfileWindow, AllowSortOfTheProfileAllowsSortingByColumn)
{
    programDir.write("player.ini", "[Options]\nAllowSort=1\n");
    for (const char* name : {"b.mp3", "a.mp3"})
        form->LVMaster->Rows.push_back(playertest::row(name, "01:00", QString("/m/") + name));
    form->LVMaster->syncView();
    form->LoadProfile(writeProfile("Default.prf", ""));
    form->LVMasterColumnClick(2);
    EXPECT_EQ(form->LVMaster->Rows[0].SubItems[1], QStringLiteral("b.mp3")) << "player.ini does not allow it";
    form->LoadProfile(writeProfile("Sort.prf", "[Options]\nAllowSort=1\n"));
    form->LVMasterColumnClick(2);
    EXPECT_EQ(form->LVMaster->Rows[0].SubItems[1], QStringLiteral("a.mp3"));
}

TEST_F(ProfileWindow, AStyleSetsTheFontExactlyAndTheMarkedRowsFollowTheFont)
{
    form->LoadProfile(writeProfile("Bold.prf", "[Font]\nName=DejaVu Serif\nSize=11\nStyle=2\n"));
    EXPECT_TRUE(form->LVMaster->font().bold());
    form->LoadProfile(writeProfile("Plain.prf", "[Font]\nStyle=0\n"));
    EXPECT_FALSE(form->LVMaster->font().bold());
    EXPECT_FALSE(form->LVSlave->font().bold());
    EXPECT_EQ(form->LVMaster->font().family(), QStringLiteral("DejaVu Serif")) << "no Name: the current font";
    form->LoadProfile(writeProfile("Underlined.prf", "[Font]\nStyle=8\n"));
    form->LoadProfile(writeProfile("Sized.prf", "[Font]\nSize=14\n"));
    EXPECT_TRUE(form->LVMaster->font().underline()) << "no Style: the current style";

    form->LVMaster->Rows.push_back(playertest::row("t", "01:00", "/m/t.mp3"));
    form->LVMaster->syncView();
    form->LVMaster->HLIndex = 0;
    const QFont playing = form->LVMaster->model()->data(form->LVMaster->model()->index(0, 1), Qt::FontRole).value<QFont>();
    EXPECT_EQ(playing.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(playing.pointSize(), 14);
    EXPECT_TRUE(playing.bold());
}

TEST_F(ProfileWindow, ColumnWidthsComeFromMasterAndSlaveOnlyWhenMasterIsThere)
{
    form->LoadProfile(writeProfile("Both.prf", "[Columns]\nMaster=" + widthsHex({40, 0, 200, 60, 0}) +
                                                   "\nSlave=" + widthsHex({41, 0, 100, 61, 0}) + "\n"));
    EXPECT_EQ(columnWidth(form->LVMaster, 2), 200);
    EXPECT_EQ(columnWidth(form->LVSlave, 2), 100);

    form->LoadProfile(writeProfile("None.prf", "[Columns]\nSlave=" + widthsHex({1, 1, 1, 1, 1}) + "\n"));
    EXPECT_EQ(columnWidth(form->LVMaster, 2), 200) << "without Master nothing changes";
    EXPECT_EQ(columnWidth(form->LVSlave, 2), 100);

    // Master alone: the Temp list takes the Main list's widths.
    form->LoadProfile(writeProfile("Master.prf", "[Columns]\nMaster=" + widthsHex({42, 0, 220, 62, 0}) + "\n"));
    EXPECT_EQ(columnWidth(form->LVSlave, 0), 42);
    EXPECT_EQ(columnWidth(form->LVSlave, 2), 220);

    // A short Master clears what it does not hold; a short Slave keeps the rest of Master's.
    form->LoadProfile(writeProfile("Short.prf", "[Columns]\nMaster=2C010000\nSlave=32\n"));
    EXPECT_EQ(columnWidth(form->LVMaster, 0), 300);
    EXPECT_EQ(columnWidth(form->LVMaster, 2), 0);
    EXPECT_EQ(columnWidth(form->LVSlave, 0), 0x132);

    // Too long, negative and huge values: extra bytes ignored, widths kept in range.
    form->LoadProfile(writeProfile("Odd.prf", "[Columns]\nMaster=" + std::string("FFFFFFFF") + "FFFFFF7F" +
                                                  std::string(8 * 20, 'A') + "\n"));
    EXPECT_EQ(columnWidth(form->LVMaster, 0), 0);
    EXPECT_EQ(columnWidth(form->LVMaster, 1), 10000);
}

TEST_F(ProfileWindow, ADamagedWindowSizeIsCutToTheScreenAndSavedSo)
{
    const QRect area = form->screen()->availableGeometry();
    form->LoadProfile(writeProfile("Huge.prf", "[Options]\nFormWidth=100000\nFormHeight=100000\n"));
    EXPECT_EQ(form->size(), area.size());
    EXPECT_EQ(form->pos(), area.topLeft());
    form->SaveProfile(profile("Huge.prf"));
    const platform::IniFile saved(profile("Huge.prf"));
    EXPECT_EQ(saved.readInteger("Options", "FormWidth", 0), area.width()) << "the next start does not repeat it";
    EXPECT_EQ(saved.readInteger("Options", "FormHeight", 0), area.height());

    // Maximised, the size it restores to fits as well.
    form->LoadProfile(writeProfile("HugeMax.prf", "[Options]\nFormWidth=-2147483647\nFormHeight=2147483647\n"));
    EXPECT_TRUE(form->isMaximized());
    EXPECT_LE(form->normalGeometry().width(), area.width());
    EXPECT_LE(form->normalGeometry().height(), area.height());
}

TEST_F(ProfileWindow, EveryWindowFitsSmallScreensWithItsCaptionsWholeInEachLanguage)
{
    EXPECT_LE(form->minimumSizeHint().width(), 799);
    EXPECT_LE(form->minimumSizeHint().height(), 573);
    if (!testrun::inChildRun()) {
        // Each screen in a program of its own: a program has its screens from its start.
        for (const char* language : {"Ru", "En"}) {
            for (const QSize screen : {QSize(1024, 768), QSize(800, 600)}) {
                const std::string config = programDir.write(
                    "screen.json", R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": )" +
                                       std::to_string(screen.width()) + R"(, "height": )" +
                                       std::to_string(screen.height()) + "}]}");
                QProcessEnvironment env;
                env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + QString::fromStdString(config));
                env.insert(QStringLiteral("QV_TEST_LANGUAGE"), QString::fromLatin1(language));
                EXPECT_TRUE(testrun::passesInChild(env))
                    << "in " << language << " on a screen of " << screen.width() << " x " << screen.height();
            }
        }
        return;
    }
    const QRect area = form->screen()->availableGeometry();
    const auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };
    const auto fitsWhole = [](QWidget* window, const std::string& where) {
        for (const std::string& cut : playertest::cutCaptions(window))
            ADD_FAILURE() << where << ": " << cut;
    };
    const auto placedAt = [&](const QSize& profileSize) {
        settle();
        const QRect frame = form->frameGeometry();
        const QRect client = form->geometry();
        EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
        const QSize room = area.size() - (frame.size() - client.size());
        EXPECT_EQ(form->size(), profileSize.boundedTo(room)) << "applied as stored, cut only to fit";
        EXPECT_LE(std::abs((frame.left() - area.left()) - (area.right() - frame.right())), 1) << "centred by its frame";
        EXPECT_LE(std::abs((frame.top() - area.top()) - (area.bottom() - frame.bottom())), 1);
        // The tool bars wrap: no button is hidden behind an extension arrow.
        for (const QToolBar* bar : {form->ListBar, form->ToolBar1, form->ModeBar, form->JingleBar}) {
            for (QAction* action : bar->actions()) {
                if (action->isVisible() && !action->isSeparator()) {
                    EXPECT_TRUE(bar->widgetForAction(action)->isVisible()) << action->text().toStdString();
                }
            }
        }
        // Every side page whole, none scrolled sideways.
        for (int i = 0; i < form->PageControl1->count(); ++i) {
            form->PageControl1->setCurrentIndex(i);
            settle();
            fitsWhole(form.get(), "the page " + form->PageControl1->tabText(i).toStdString());
        }
        form->PageControl1->setCurrentIndex(0);
    };
    // In the shipped captions of the language.
    std::filesystem::copy(std::string(QV_BIN_DIR) + "/Lang", programDir.path() + "/Lang",
                          std::filesystem::copy_options::recursive);
    form->LangDir = std::getenv("QV_TEST_LANGUAGE");
    form->CreateDbgFrm();
    form->CreateNotesFrm();
    ASSERT_TRUE(form->LoadLanguage().empty());
    form->show();
    placedAt(QSize(799, 573));  // no profile yet: its defaults
    const int sidePanelWidth = form->PageControl1->width();

    // The other windows, the diagnostics with the longest file names a deck may show.
    form->DbgFrm->show();
    form->DbgFrm->Label5->setText(QString(300, QLatin1Char('a')));
    settle();
    fitsWhole(form->DbgFrm, "the diagnostics");
    form->DbgFrm->hide();
    form->NotesFrm->show();
    settle();
    fitsWhole(form->NotesFrm, "the notes");
    form->NotesFrm->hide();
    form->N40Click();
    form->N48Click();
    settle();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != form.get()) {
            fitsWhole(window, window->objectName().toStdString());
            window->close();
        }
    }
    playertest::whenShown<TfrmSettings>([&](TfrmSettings& dialog) {
        for (int i = 0; i < dialog.PageControl1->count(); ++i) {
            dialog.PageControl1->setCurrentIndex(i);
            settle();
            fitsWhole(&dialog, "the settings' page " + dialog.PageControl1->tabText(i).toStdString());
        }
        dialog.reject();
    });
    form->ShowSettingsDialog(false);

    form->LoadProfile(writeProfile("Large.prf", "[Options]\nFormWidth=1000\nFormHeight=700\n"));
    placedAt(QSize(1000, 700));
    if (form->width() > 799) {
        EXPECT_GT(form->PageControl1->width(), sidePanelWidth) << "a wider window widens the side panel too";
    }
}

TEST_F(ProfileWindow, AFreshTempListShowsItsTitlesAndAProfileKeepsThemShown)
{
    EXPECT_EQ(columnWidth(form->LVSlave, 1), 0) << "the artist column is the hidden one";
    EXPECT_EQ(form->LVSlave->model()->headerData(1, Qt::Horizontal).toString(), "Исполнитель");
    EXPECT_GT(columnWidth(form->LVSlave, 2), 0);
    EXPECT_EQ(columnWidth(form->LVSlave, 2), columnWidth(form->LVMaster, 2));
    form->SaveProfile(profile("Fresh.prf"));
    form->LVSlave->header()->resizeSection(2, 0);
    form->LoadProfile(profile("Fresh.prf"));
    EXPECT_GT(columnWidth(form->LVSlave, 2), 0) << "the profile stored the titles hidden";
}

TEST_F(ProfileWindow, AMaximisedWindowIsStoredAsTheDefaultSizeAndRestoresToItsWidth)
{
    // The window stays hidden: the test screen is smaller than the window can be shown.
    form->resize(500, 400);
    form->LoadProfile(writeProfile("Max.prf", "[Options]\nFormWidth=-760\nFormHeight=560\n"));
    EXPECT_TRUE(form->isMaximized());
    EXPECT_FALSE(form->isVisible()) << "a load does not show a hidden window";
    EXPECT_EQ(form->normalGeometry().width(), 760) << "restored, the window is |FormWidth| wide";
    EXPECT_EQ(form->normalGeometry().height(), 560);
    form->SaveProfile(profile("Max.prf"));
    const platform::IniFile saved(profile("Max.prf"));
    EXPECT_EQ(saved.readInteger("Options", "FormWidth", 0), -799);
    EXPECT_EQ(saved.readInteger("Options", "FormHeight", 0), 573);

    // What a maximised save wrote comes back maximised with the default size to restore to.
    form->setWindowState(Qt::WindowNoState);
    form->LoadProfile(profile("Max.prf"));
    EXPECT_TRUE(form->isMaximized());
    form->setWindowState(Qt::WindowNoState);
    EXPECT_EQ(form->width(), 799);
    EXPECT_EQ(form->height(), 573);

    // A positive width: no longer maximised, that size, its frame centred on the work area.
    form->LoadProfile(profile("Max.prf"));
    form->LoadProfile(writeProfile("Small.prf", "[Options]\nFormWidth=300\nFormHeight=200\n"));
    EXPECT_FALSE(form->isMaximized());
    EXPECT_EQ(form->width(), 300);
    EXPECT_EQ(form->height(), 200);
    const QRect area = form->screen()->availableGeometry();
    const QRect frame = form->frameGeometry();
    EXPECT_EQ(frame.x(), area.x() + (area.width() - frame.width()) / 2);
    EXPECT_EQ(frame.y(), area.y() + (area.height() - frame.height()) / 2);
    form->SaveProfile(profile("Small.prf"));
    EXPECT_EQ(platform::IniFile(profile("Small.prf")).readInteger("Options", "FormWidth", 0), 300);
    EXPECT_EQ(platform::IniFile(profile("Small.prf")).readInteger("Options", "FormHeight", 0), 200);
}

TEST_F(ProfileWindow, OnlyTheDefaultProfileInAnyCaseSetsTheMasterVolume)
{
    form->tbVolume->setValue(50);
    form->LoadProfile(writeProfile("Work.prf", "[Options]\nVolume=10\n"));
    EXPECT_EQ(form->tbVolume->value(), 50);
    form->LoadProfile(writeProfile("DEFAULT.PRF", "[Options]\nVolume=30\n"));
    EXPECT_EQ(form->tbVolume->value(), 30);
    EXPECT_EQ(form->DeckA->GetStreamVolume(), 30);
    form->SaveProfile(profile("Work.prf"));
    EXPECT_EQ(platform::IniFile(profile("Work.prf")).readInteger("Options", "Volume", 0), 30) << "every save writes it";
}

TEST_F(ProfileWindow, NumbersOutOfRangeAreCutToItWhenReadAndSavedSo)
{
    struct Bad {
        std::string text;
        std::int32_t asRead;  // what the ini reader makes of it (a number past 32 bits is none: the default)
    };
    const std::vector<Bad> values{{"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX}, {"-1", -1},
                                  {"$80000000", INT32_MIN}, {"99999999999", 0}};
    struct Range {
        const char* section;
        const char* key;
        int low;
        int high;
    };
    // Grouped by section: a section that comes twice is read once.
    const std::vector<Range> ranges{{"Compressor", "Gain", -30, 30},  {"QuietDetection", "Interval", 1, 600},
                                    {"QuietDetection", "Action", 1, 3}, {"Options", "MonType", 0, 2},
                                    {"Options", "Volume", 0, 100},     {"Options", "MuteLevel", -30, 0},
                                    {"Encoder", "PresetIndex", -1, kMaxEncoderPresets - 1}};
    for (const Bad& bad : values) {
        std::string text;
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            if (i == 0 || std::string(ranges[i].section) != ranges[i - 1].section)
                text += "[" + std::string(ranges[i].section) + "]\n";
            text += std::string(ranges[i].key) + "=" + bad.text + "\n";
        }
        std::string gains;
        for (int band = 0; band < 12; ++band)
            gains += widthsHex({bad.asRead}).substr(0, 8);
        text += "[Equalizer]\nOn=1\nSettings=" + gains + "\n";
        form->LoadProfile(writeProfile("Default.prf", text));
        // The gain's sign holds: the lowest number read is the lowest gain, not the highest.
        const int gain = std::clamp(bad.asRead, -30, 30);
        EXPECT_EQ(-form->Gain->value(), gain) << bad.text;
        for (std::int32_t band : form->EqualizerGains)
            EXPECT_EQ(band, std::clamp(bad.asRead, -10, 10)) << bad.text;

        form->SaveProfile(profile("Saved.prf"));
        const platform::IniFile saved(profile("Saved.prf"));
        for (const Range& r : ranges) {
            const std::int32_t v = saved.readInteger(r.section, r.key, INT32_MIN);
            EXPECT_GE(v, r.low) << r.section << "/" << r.key << " from " << bad.text;
            EXPECT_LE(v, r.high) << r.section << "/" << r.key << " from " << bad.text;
        }
        EXPECT_EQ(saved.readInteger("Compressor", "Gain", 99), gain) << bad.text;
    }
}

TEST_F(ProfileWindow, MonitorTypeSetsTheStreamFlagsOfBothDecksWhicheverPlays)
{
    const std::string track = programDir.write("t.wav", playertest::wavFile(1, 8000, 8000));
    form->AddFile(QString::fromStdString(track));
    form->RenumberList();
    form->LVMaster->selectRows({0});
    form->aPlay();  // the members swap roles at the start
    ASSERT_EQ(&form->Sequencer->deckA(), form->DeckBView.get());

    form->LoadProfile(writeProfile("Front.prf", "[Options]\nMonType=1\n"));
    EXPECT_EQ(form->DeckA->StreamFlags, static_cast<std::int32_t>(audiolib::kSpeakerFront));
    EXPECT_EQ(form->DeckB->StreamFlags, static_cast<std::int32_t>(audiolib::kSpeakerFront));
    form->LoadProfile(writeProfile("Odd.prf", "[Options]\nMonType=7\n"));
    EXPECT_EQ(form->DeckA->StreamFlags, static_cast<std::int32_t>(audiolib::kSpeakerFront)) << "unknown type: left";
    form->LoadProfile(writeProfile("Both.prf", "[Options]\nMonType=0\n"));
    EXPECT_EQ(form->DeckA->StreamFlags, 0);
    EXPECT_EQ(form->DeckB->StreamFlags, 0);
    form->LoadProfile(writeProfile("Front.prf", "[Options]\nMonType=1\n"));
    form->LoadProfile(writeProfile("Rear.prf", "[Options]\nMonType=2\n"));
    EXPECT_EQ(form->DeckB->StreamFlags, 0);
}

// The mix of one start, played on the manual clock: where the tone begins, in seconds.
double toneOnsetSeconds(player::TForm1& form)
{
    form.LVMaster->selectRows({0});
    form.aPlay();
    constexpr std::uint32_t kBlock = 441;
    std::vector<float> mix(kBlock * 2);
    for (std::uint32_t done = 0; done < 44100 * 2; done += kBlock) {
        if (!audiolib::advance(kBlock, mix.data()))
            return -1;
        for (std::uint32_t i = 0; i < kBlock; ++i)
            if (std::fabs(mix[2 * i]) > 0.1f)
                return (done + i) / 44100.0;
    }
    return -1;
}

TEST_F(ProfileWindow, CutSilenceTakesTheLeadingSilenceOffTheAirOnBothDecks)
{
    // 0.5 s of silence, then a loud square wave to the end, at 8 kHz.
    std::string wav = playertest::wavFile(1, 8000, 12000);
    const std::size_t data = wav.size() - 24000;
    for (std::size_t i = 4000; i < 12000; ++i) {
        const std::int16_t v = (i / 8) % 2 ? 12000 : -12000;
        std::memcpy(&wav[data + 2 * i], &v, 2);
    }
    form->AddFile(QString::fromStdString(programDir.write("lead.wav", wav)));
    form->RenumberList();

    form->LoadProfile(writeProfile("Keep.prf", "[Options]\nCutSilence=0\n"));
    EXPECT_TRUE(form->Label10->isHidden());
    EXPECT_NEAR(toneOnsetSeconds(*form), 0.5, 0.03);
    form->aStop();

    form->LoadProfile(writeProfile("Cut.prf", "[Options]\nCutSilence=1\n"));
    EXPECT_FALSE(form->Label10->isHidden());
    for (engine::TAudioEngine* deck : roleDecks())
        EXPECT_TRUE(deck->SkipSilence);
    EXPECT_LT(toneOnsetSeconds(*form), 0.05);
    form->SaveProfile(profile("Cut.prf"));
    EXPECT_EQ(platform::IniFile(profile("Cut.prf")).readInteger("Options", "CutSilence", -1), 1);
}

TEST_F(ProfileWindow, TheFolderTreeFallsBackToItsRootAndRelativeNamesMeanTheProgramFolder)
{
    std::filesystem::create_directories(programDir.path() + "/Music/Rock");
    form->LoadProfile(writeProfile("Rel.prf", "[Explorer]\nPath=Music\\Rock\n"));
    EXPECT_EQ(form->SHView->Directory(), programDir.path() + "/Music/Rock");
    form->LoadProfile(writeProfile("Kept.prf", ""));
    EXPECT_EQ(form->SHView->Directory(), programDir.path() + "/Music/Rock") << "no Path: the tree stays";
    form->LoadProfile(writeProfile("Empty.prf", "[Explorer]\nPath=\n"));
    EXPECT_EQ(form->SHView->Directory(), "/");
    form->LoadProfile(writeProfile("Gone.prf", "[Explorer]\nPath=C:\\Gone\n"));
    EXPECT_EQ(form->SHView->Directory(), "/");

    // A tree pointing at a file saves the file's folder, and a profile without a Path leaves it.
    form->SHView->SetDirectory(programDir.write("Music/Rock/song.wav", playertest::wavFile(1, 8000, 80)));
    ASSERT_EQ(form->SHView->Directory(), programDir.path() + "/Music/Rock/song.wav");
    form->SaveProfile(profile("File.prf"));
    EXPECT_EQ(platform::IniFile(profile("File.prf")).readString("Explorer", "Path", ""), programDir.path() + "/Music/Rock");
    form->LoadProfile(profile("Kept.prf"));
    EXPECT_EQ(form->SHView->Directory(), programDir.path() + "/Music/Rock/song.wav");

    // The silence detector's list and a nameless profile's history live in the program folder.
    const std::string track = programDir.write("spare.wav", playertest::wavFile(1, 8000, 800));
    programDir.write("emergency.m3u", "#EXTM3U\r\n#EXTINF:1,Spare\r\n" + track + "\r\n");
    form->LoadProfile(writeProfile("Quiet.prf", "[QuietDetection]\nList=emergency.m3u\n"));
    EXPECT_EQ(form->LoadEmergencyList(), 1);
}

TEST_F(ProfileWindow, ANamelessProfileKeepsItsHistoryInTheProgramFolder)
{
    ASSERT_EQ(form->CurrentProfile, "noname");
    programDir.write("noname.hst", "/lists/a.m3u\r\n");
    form->LoadProfile(profile("Default.prf"));  // missing
    EXPECT_EQ(form->CurrentProfile, "noname");
    EXPECT_EQ(form->RecentPlaylists[0], QStringLiteral("/lists/a.m3u"));
    // The missing profile's playlist is not there either: the list stays as it was.
    EXPECT_EQ(form->LVMaster->rowCount(), 0);
}

TEST_F(ProfileWindow, TheMenuListsTheProfilesAndLoadsTheOneChosen)
{
    form->FillProfileMenu();
    EXPECT_TRUE(menuCaptions().isEmpty());
    EXPECT_FALSE(form->mLoadProfile->menuAction()->isEnabled());

    writeProfile("Work.prf", "[Options]\nMonType=1\n");
    writeProfile("a&b.prf", "");
    writeProfile("default.PRF", "");
    form->FillProfileMenu();
    EXPECT_EQ(menuCaptions(), (QStringList{"a&&b", "default", "Work"}));
    EXPECT_TRUE(form->mLoadProfile->menuAction()->isEnabled());
    EXPECT_EQ(form->mLoadProfile->actions()[2]->data().toInt(), 3);
    form->mLoadProfile->actions()[2]->trigger();
    EXPECT_EQ(form->CurrentProfile, profile("Work.prf"));
    EXPECT_EQ(form->MonType, 1);

    for (int i = 0; i < 57; ++i)
        writeProfile("p" + std::to_string(10 + i) + ".prf", "");
    form->FillProfileMenu();
    form->FillProfileMenu();
    ASSERT_EQ(menuCaptions().size(), 50);
    EXPECT_EQ(form->ProfilePaths.size(), 50u);
    EXPECT_EQ(menuCaptions().back(), QStringLiteral("p57"));
    EXPECT_EQ(form->mLoadProfile->actions().back()->data().toInt(), 50);
    form->m_loadprf(51);  // past the menu: nothing
    EXPECT_EQ(form->CurrentProfile, profile("Work.prf"));

    // The first showing fills the menu before the default profile is loaded.
    form.reset();
    std::filesystem::remove_all(profileFolder());
    std::filesystem::create_directories(profileFolder());
    writeProfile("Default.prf", "");
    makeForm();
    form->LaunchProgram = [](std::string_view, const std::vector<std::string>&) { return false; };
    form->FormCreate();
    form->maintimer->stop();
    form->show();
    EXPECT_EQ(menuCaptions(), QStringList{"Default"});
}

TEST_F(ProfileWindow, SaveAsAsksForANameRefusesBadOnesAndRefreshesTheMenu)
{
    // The profile items stand together, in this order, among the menu's other items.
    const QList<QAction*> items = form->mSettings->actions();
    const auto at = items.indexOf(form->N33);
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 2, items.size());
    EXPECT_EQ(items[at + 1], form->mSaveProfileAs);
    EXPECT_EQ(items[at + 2], form->mLoadProfile->menuAction());

    // Saving a nameless profile asks for the name.
    messages.pushText("  Morning  ");
    form->N33->trigger();
    EXPECT_TRUE(std::filesystem::exists(profile("Morning.prf")));
    EXPECT_EQ(form->CurrentProfile, profile("Morning.prf"));
    EXPECT_EQ(menuCaptions(), QStringList{"Morning"});
    EXPECT_TRUE(std::filesystem::exists(profile("Morning.m3u")));
    EXPECT_TRUE(std::filesystem::exists(profile("Morning.hst")));

    // From now on the item saves that profile without asking.
    messages.clear();
    form->tbVolume->setValue(21);
    form->N33->trigger();
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(platform::IniFile(profile("Morning.prf")).readInteger("Options", "Volume", 0), 21);

    for (const char* bad : {"", "   ", ".", "..", "a/b", "a\\b", "new\nline"}) {
        messages.clear();
        messages.pushText(bad);
        form->mSaveProfileAs->trigger();
        const auto shown = messages.shown();
        ASSERT_EQ(shown.size(), 2u) << bad;
        EXPECT_EQ(shown[1].kind, "messageBox");
        EXPECT_NE(shown[1].text.find("Недопустимое имя профиля"), std::string::npos);
    }
    EXPECT_EQ(menuCaptions(), QStringList{"Morning"});
    EXPECT_EQ(form->CurrentProfile, profile("Morning.prf"));

    // A cancelled dialog saves nothing; another profile's name is only taken when confirmed.
    form->mSaveProfileAs->trigger();
    writeProfile("Evening.prf", "[Plugin]\nOwn=v\n");
    messages.pushText("Evening");
    messages.pushAnswer(platform::IDNO);
    form->mSaveProfileAs->trigger();
    EXPECT_EQ(programDir.read(profile("Evening.prf")), "[Plugin]\nOwn=v\n");
    messages.pushText("Evening.prf");
    messages.pushAnswer(platform::IDYES);
    form->mSaveProfileAs->trigger();
    EXPECT_EQ(form->CurrentProfile, profile("Evening.prf"));
    EXPECT_EQ(platform::IniFile(profile("Evening.prf")).readString("Plugin", "Own", ""), "v");
    EXPECT_EQ(menuCaptions(), (QStringList{"Evening", "Morning"}));
}

TEST_F(ProfileWindow, AProfileThatCannotBeWrittenIsShownAndThePlaylistAndHistoryStillFollow)
{
    form->LVMaster->Rows.push_back(playertest::row("A - B", "01:00", "/m/a.mp3"));
    form->LVMaster->syncView();
    // A folder where the profile's file belongs: nothing can replace it, everything beside it can.
    std::filesystem::create_directories(profile("Busy.prf"));
    form->SaveProfile(profile("Busy.prf"));
    auto boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error: -1, \r\nFile: " + profile("Busy.prf") + "\r\nFunc: TIniFile.Create (Is a directory)");
    EXPECT_NE(programDir.read(profile("Busy.m3u")).find("/m/a.mp3"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(profile("Busy.hst")));
    EXPECT_EQ(form->CurrentProfile, profile("Busy.prf"));

    // A read-only folder: the old profile and playlist stay whole and no temporary file is left.
    const std::string before = "[Options]\r\nVolume=5\r\n";
    writeProfile("Work.prf", before);
    writeProfile("Work.m3u", "#EXTM3U\r\n");
    std::filesystem::permissions(profileFolder(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    messages.clear();
    {
        const ObeyFilePermissions asAnOperator;
        ASSERT_FALSE(std::ofstream(profile("probe"))) << "the folder is writable after all";
        form->SaveProfile(profile("Work.prf"));
    }
    boxes = errorBoxes();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_NE(boxes[0].text.find("Func: TIniFile.Create ("), std::string::npos);
    EXPECT_NE(boxes[1].text.find("Func: Playlist.SaveToFile"), std::string::npos) << "the playlist save still ran";
    EXPECT_EQ(programDir.read(profile("Work.prf")), before);
    EXPECT_EQ(programDir.read(profile("Work.m3u")), "#EXTM3U\r\n");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(profileFolder()))
        ++entries;
    EXPECT_EQ(entries, 5u) << "Busy.prf, Busy.m3u, Busy.hst, Work.prf, Work.m3u";
}

}  // namespace
