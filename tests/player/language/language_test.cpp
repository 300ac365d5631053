// Languages on the real main window: one file translating its captions, hints, menus, actions,
// search fields, columns and messages, and the settings dialog's; lookups that stay inside each
// window; keys that name nothing or the wrong kind; the language dialog and LangDir; the shipped
// languages, with nothing unknown, the same keys in both and no window left in English by Russian;
// Qt's own texts in the chosen language; the help; the drawn menu bar and the status bar.
#include "tests/player/modaldialog.h"
#include "tests/player/windowfixture.h"
#include "tests/common/englishcaptions.h"
#include "urlcatcher.h"

#include "audiolib/audiolib.h"
#include "controls/mainmenuxp.h"
#include "controls/tbar.h"
#include "controls/vtqstatusbar.h"
#include "controls/zrfoldertreeview.h"
#include "engine/enginesettings.h"
#include "platform/inifile.h"
#include "controls/lang.h"
#include "player/language/langfiles.h"
#include "player/language/sellang.h"
#include "player/language/translate.h"
#include "player/about/aboutfrm.h"
#include "player/about/dbgfrm.h"
#include "player/hotkeys/hotkeyform.h"
#include "player/jingles/jinlistform.h"
#include "player/jingles/jinplayform.h"
#include "player/monitor/rearplay.h"
#include "player/notes/notesfrm.h"
#include "player/schedule/timeform.h"
#include "player/settings/radiogroup.h"
#include "player/settings/settingsform.h"
#include "player/sound/fxform.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

using namespace player;
using playertest::whenShown;
namespace fs = std::filesystem;

namespace {

QString header(const controls::TVqListView* list, int c)
{
    return list->model()->headerData(c, Qt::Horizontal).toString();
}

QStringList comboItems(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

class Languages : public playertest::ManualClockWindowTest {
protected:
    void beforeCreate() override
    {
        form->LaunchProgram = [](std::string_view, const std::vector<std::string>&) { return false; };
    }
    void SetUp() override
    {
        ManualClockWindowTest::SetUp();
        form->Ini.ShellExt = false;
    }
    void writeLanguage(const std::string& folder, const std::string& text, const std::string& name = "")
    {
        fs::create_directories(programDir.path() + "/Lang/" + folder);
        programDir.write("Lang/" + folder + "/lang.ini", text);
        if (!name.empty())
            programDir.write("Lang/" + folder + "/name", name + "\r\nsecond line\r\n");
    }
    void copyShippedLanguages()
    {
        fs::copy(std::string(QV_BIN_DIR) + "/Lang", programDir.path() + "/Lang",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    std::vector<std::string> translateSettings(const std::function<void(TfrmSettings&)>& check)
    {
        std::vector<std::string> skipped;
        whenShown<TfrmSettings>([&](TfrmSettings& d) {
            check(d);
            d.Button3->click();
        });
        form->aSettingsExecute();
        return skipped;
    }
};

}  // namespace

TEST_F(Languages, AFileTranslatesTheMainWindowsTextsColumnsAndMessages)
{
    // A tool window of the main window using one of its names is not the main window's.
    auto* tool = new QWidget(form.get(), Qt::Tool);
    auto* toolLabel = new QLabel(QStringLiteral("own"), tool);
    toolLabel->setObjectName(QStringLiteral("Label28"));
    auto* toolOnly = new QLabel(QStringLiteral("tool"), tool);
    toolOnly->setObjectName(QStringLiteral("Memo1"));
    writeLanguage("Test",
                  "[Form1.Captions]\nlabel28=Esc cancels\nTabSheet1=Folders\nForm1=Title\n"
                  "NoSuchControl=x\ncbFindIndex=not a caption\nLabel29=~no~val~\nMemo1=not mine\n"
                  "[Form1.Hints]\ntbVolume=Master volume\n"
                  "[Form1.MenuHints]\nN25=Adds a file\n"
                  "[Form1.Commands]\naSettings=Preferences...\nLabel28=not an action\n"
                  "[Form1.MenuItems]\nmFile=File\nN20=Quit\n"
                  "[FindIndexes]\ni1=Title\ni2=Artist\ni8=File\n"
                  "[PlaylistColumns]\nc2=Name\nc3=Length\n"
                  "[FindlistColumns]\nc0=Artist\n"
                  "[Strings]\ns3=Tracks\ns5=Silence\ns7=on\ns9=Restart!\n");
    form->LangDir = "Test";
    form->cbFindIndex->setCurrentIndex(3);
    const std::vector<std::string> skipped = form->LoadLanguage();
    EXPECT_EQ(skipped, (std::vector<std::string>{"Form1.Captions/NoSuchControl", "Form1.Captions/cbFindIndex",
                                                 "Form1.Captions/Memo1", "Form1.Commands/Label28"}));

    EXPECT_EQ(form->Label28->text(), "Esc cancels");
    EXPECT_EQ(toolLabel->text(), "own");
    EXPECT_EQ(toolOnly->text(), "tool");
    EXPECT_EQ(form->PageControl1->tabText(form->PageControl1->indexOf(form->TabSheet1)), "Folders");
    EXPECT_EQ(form->Label29->text(), "") << "a value that could not be read is skipped";
    EXPECT_EQ(form->tbVolume->toolTip(), "Master volume");
    EXPECT_EQ(form->N25->statusTip(), "Adds a file");
    EXPECT_EQ(form->aSettings->text(), "Preferences...");
    EXPECT_EQ(form->mFile->title(), "File");
    EXPECT_EQ(form->N20->text(), "Quit");
    EXPECT_EQ(form->N20Tray->text(), QStringLiteral("Выход")) << "a key names one item";

    // Missing keys keep the text they had.
    EXPECT_EQ(comboItems(form->cbFindIndex),
              (QStringList{"Title", "Artist", QStringLiteral("Альбом"), QStringLiteral("Год"), QStringLiteral("Жанр"),
                           QStringLiteral("Комментарий"), QStringLiteral("Время"), "File"}));
    EXPECT_EQ(form->cbFindIndex->currentIndex(), 0);
    for (controls::TVqListView* list : {form->LVMaster, form->LVSlave}) {
        EXPECT_EQ(header(list, 0), QStringLiteral("№"));
        EXPECT_EQ(header(list, 2), "Name");
        EXPECT_EQ(header(list, 3), "Length");
    }
    EXPECT_EQ(header(form->LVFindResult, 0), "Artist");
    EXPECT_EQ(header(form->LVFindResult, 1), QStringLiteral("Название"));
    EXPECT_EQ(form->LVMaster->header()->sectionSize(2), 300) << "the widths stay";

    EXPECT_EQ(form->Messages[3], "Tracks");
    EXPECT_EQ(form->Messages[4], QStringLiteral("Больше ничего не найдено!"));
    EXPECT_EQ(form->StatusBar1->Panels()[5]->Text(), QStringLiteral("Silence: Bыкл"));
    form->LVMaster->Rows.push_back(playertest::row("a", "01:00", "/a.mp3"));
    form->LVMaster->syncView();
    form->RenumberList();
    EXPECT_TRUE(form->Panel2->text().contains("Tracks: 1")) << form->Panel2->text().toStdString();

    // Message 9 is the settings dialog's restart warning from now on.
    form->MonType = 0;
    whenShown<TfrmSettings>([](TfrmSettings& d) {
        d.montype->button(2)->click();
        d.Button3->click();
    });
    form->aSettingsExecute();
    bool warned = false;
    for (const auto& s : messages.shown())
        warned = warned || s.text == "Restart!";
    EXPECT_TRUE(warned);
}

TEST_F(Languages, DialogsAreTranslatedEachTimeTheyOpenAndTheRadioGroupsRefilled)
{
    writeLanguage("Test",
                  "[Settings.Captions]\nfrmSettings=Settings\nTabSheet4=Encoding\nLabel8=Preset name:\n"
                  "cbReport=Write a report\nRadioGroup1=Priority\nButton3=Cancel\nNoSuch=x\ncbcodec=no caption\n"
                  "[Settings.Other]\ncl0=Minimise\ncl1=Close\nvl0=Linear\n");
    form->LangDir = "Test";
    form->CloseAllowed = true;
    bool checked = false;
    whenShown<TfrmSettings>([&](TfrmSettings& d) {
        EXPECT_EQ(d.windowTitle(), "Settings");
        EXPECT_EQ(d.PageControl1->tabText(3), "Encoding");
        EXPECT_EQ(d.Label8->text(), "Preset name:");
        EXPECT_EQ(d.cbReport->text(), "Write a report");
        EXPECT_EQ(d.RadioGroup1->title(), "Priority");
        EXPECT_EQ(d.rgClose->items(), (QStringList{"Minimise", "Close"}));
        EXPECT_EQ(d.rgClose->itemIndex(), 1) << "refilled before the dialog shows its settings";
        EXPECT_EQ(d.RadioGroup3->items(), (QStringList{"Linear", QStringLiteral("Логарифмическая")}));
        checked = true;
        d.Button3->click();
    });
    form->aSettingsExecute();
    EXPECT_TRUE(checked);

    TfrmSettings dialog(*form);
    EXPECT_EQ(form->TranslateForm(&dialog, "Settings.Captions"),
              (std::vector<std::string>{"Settings.Captions/NoSuch", "Settings.Captions/cbcodec"}));
    // The main window's own components of the same names are untouched.
    EXPECT_EQ(form->TabSheet1->objectName(), "TabSheet1");
    EXPECT_EQ(form->PageControl1->tabText(form->PageControl1->indexOf(form->TabSheet1)), "Explorer");
}

TEST_F(Languages, TheJingleScheduleAndHotKeyDialogsAreTranslatedWhenTheyOpen)
{
    writeLanguage("Test", "[JinList.Captions]\nButton1=Pick...\n[Schedule.Captions]\nButton7=Add it\n"
                          "[Hotkey.Captions]\nHintLabel=Click a box\n");
    form->LangDir = "Test";
    form->N30Click();
    form->Button1Click();
    form->N48Click();
    auto* jingles = form->findChild<TfrmJinList*>();
    auto* schedule = form->findChild<Ttimeform*>();
    auto* hotKeys = form->findChild<TfrmHK*>();
    ASSERT_TRUE(jingles && schedule && hotKeys);
    EXPECT_EQ(jingles->Button1->text(), "Pick...");
    EXPECT_EQ(schedule->findChild<QPushButton*>("Button7")->text(), "Add it");
    EXPECT_EQ(hotKeys->findChild<QLabel*>("HintLabel")->text(), "Click a box");
    // Names the main window shares with them stay the main window's.
    EXPECT_EQ(form->Button1->text(), QStringLiteral("Составить расписание..."));
    for (QWidget* w : std::initializer_list<QWidget*>{jingles, schedule, hotKeys})
        w->close();
    QCoreApplication::processEvents();
}

TEST_F(Languages, TheNotesWindowsMenuIsItsOwn)
{
    form->CreateNotesFrm();
    ASSERT_NE(form->NotesFrm, nullptr);
    // The notes window's own N1 and the main window's keys do not meet.
    auto* n20 = new QAction(QStringLiteral("own"), form->NotesFrm);
    n20->setObjectName(QStringLiteral("N20"));
    writeLanguage("Test", "[NotesFrm.Menus]\nN1=Font...\nN3=Do not read notes by themselves\n"
                          "[Form1.MenuItems]\nN20=Quit\nN1=not the main window's\n");
    form->LangDir = "Test";
    EXPECT_EQ(form->LoadLanguage(), std::vector<std::string>{"Form1.MenuItems/N1"});
    EXPECT_EQ(form->NotesFrm->N1->text(), "Font...");
    EXPECT_EQ(form->NotesFrm->N3->text(), "Do not read notes by themselves");
    EXPECT_EQ(n20->text(), "own");
    EXPECT_EQ(form->N20->text(), "Quit");
}

TEST_F(Languages, TheLanguageDialogListsFoldersAndOkStoresTheChoice)
{
    writeLanguage("Zz", "[Form1.MenuItems]\nmFile=Zz file\n", "Zzish");
    writeLanguage("aa", "[Form1.MenuItems]\nmFile=Aa file\n", "Aaish");
    fs::create_directories(programDir.path() + "/Lang/Nameless");
    programDir.write("Lang/readme.txt", "not a language");

    // Cancel: nothing changes, also after a language was chosen once.
    whenShown<TSelLang>([](TSelLang& d) {
        EXPECT_EQ(d.windowTitle(), "Language");
        EXPECT_EQ(d.Label1->text(), "Select program language:");
        ASSERT_EQ(d.ListBox1->count(), 3);
        EXPECT_EQ(d.ListBox1->item(0)->text(), "Aaish");
        EXPECT_EQ(d.ListBox1->item(1)->text(), "");
        EXPECT_EQ(d.ListBox1->item(2)->text(), "Zzish");
        EXPECT_EQ(d.Folders, (std::vector<std::string>{"aa", "Nameless", "Zz"}));
        d.Button2->click();
    });
    form->Language1Click();
    EXPECT_EQ(form->LangDir, "Ru");
    EXPECT_FALSE(platform::IniFile(programDir.path() + "/system.ini").valueExists("Options", "LangDir"));

    whenShown<TSelLang>([](TSelLang& d) {
        d.ListBox1->setCurrentRow(2);
        d.Button1->click();
    });
    form->Language1Click();
    EXPECT_EQ(form->LangDir, "Zz");
    EXPECT_EQ(engine::engineSettings().LangDir, "Zz");
    const platform::IniFile system(programDir.path() + "/system.ini");
    EXPECT_EQ(system.readString("Options", "LangDir", ""), "Zz");
    EXPECT_EQ(system.readInteger("Device", "MainDev", -1), 0);
    EXPECT_EQ(form->mFile->title(), "Zz file") << "taken at once";

    whenShown<TSelLang>([](TSelLang& d) { d.close(); });
    form->Language1Click();
    EXPECT_EQ(form->LangDir, "Zz");

    // OK with no row chosen: "En".
    whenShown<TSelLang>([](TSelLang& d) { d.Button1->click(); });
    form->Language1Click();
    EXPECT_EQ(form->LangDir, "En");
    EXPECT_EQ(platform::IniFile(programDir.path() + "/system.ini").readString("Options", "LangDir", ""), "En");
}

TEST_F(Languages, TheShippedLanguagesNameNothingUnknownAndHoldTheSameKeys)
{
    copyShippedLanguages();
    form->CreateDbgFrm();
    form->CreateNotesFrm();
    form->UpdateCaption();
    const QStringList builtInFields = comboItems(form->cbFindIndex);
    const PlayerMessages builtInMessages = form->Messages;

    for (const std::string language : {"En", "Ru"}) {
        form->LangDir = language;
        EXPECT_TRUE(form->LoadLanguage().empty()) << language;
        auto nothingUnknown = [&](QWidget* window, const char* section) {
            EXPECT_TRUE(form->TranslateForm(window, section).empty()) << language << " " << section;
        };
        TfrmSettings dialog(*form);
        nothingUnknown(&dialog, "Settings.Captions");
        EXPECT_TRUE(ApplyLangSection(LanguageFile(language), "Settings.Hints", &dialog, LangKind::Hint).empty());
        TfrmJinList jingles(*form);
        nothingUnknown(&jingles, "JinList.Captions");
        Ttimeform schedule(*form);
        nothingUnknown(&schedule, "Schedule.Captions");
        TfrmHK hotKeys(*form);
        nothingUnknown(&hotKeys, "Hotkey.Captions");
        TSelLang languages(*form);
        nothingUnknown(&languages, "SelLang.Captions");
        Taboutfrm about(form.get());
        nothingUnknown(&about, "About.Captions");
        auto* effects = new TFXFrm(*form);
        nothingUnknown(effects, "FXFrm.Captions");
        EXPECT_TRUE(ApplyLangSection(LanguageFile(language), "FXFrm.Units", effects, LangKind::Unit).empty());
        delete effects;
        auto* jingle = new TfrmJinPlay(*form, QString());
        nothingUnknown(jingle, "JinPlay.Captions");
        delete jingle;
        auto* monitor = new TRearPlay(*form, QString());
        nothingUnknown(monitor, "RearPlay.Captions");
        delete monitor;
        const platform::IniFile lang(LanguageFile(language));
        const std::map<std::string, std::vector<std::string>> listKeys = {
            {"FindIndexes", {"i1", "i2", "i3", "i4", "i5", "i6", "i7", "i8"}},
            {"PlaylistColumns", {"c0", "c1", "c2", "c3", "c4"}},
            {"FindlistColumns", {"c0", "c1", "c2", "c3"}},
            {"ScheduleColumns", {"c0", "c1", "c2"}},
            {"ScheduleListColumns", {"c0", "c1", "c2"}},
            {"JinListColumns", {"c0", "c1"}},
            {"Strings", {"s0", "s1", "s2", "s3", "s4", "s5", "s6", "s7", "s8", "s9"}},
            {"Settings.Other", {"cl0", "cl1", "vl0", "vl1", "pr0", "pr1", "pr2", "pr3", "mt0", "mt1", "mt2"}},
        };
        for (const auto& [section, keys] : listKeys)
            EXPECT_EQ(lang.keys(section), keys) << language << " " << section;
        // Each text the player writes itself, so that none stays in its built-in language.
        for (const std::string& key : PlayerTexts::Keys())
            EXPECT_TRUE(lang.valueExists("Texts", key)) << language << " " << key;
        const std::set<std::string> known = {
            "Form1.Captions",    "Form1.Hints",       "Form1.MenuHints",  "Form1.Commands",     "Form1.MenuItems",
            "FindIndexes",       "PlaylistColumns",   "FindlistColumns",  "Strings",            "Settings.Captions",
            "Settings.Other",    "ScheduleColumns",   "NotesFrm.Menus",   "NotesFrm.Captions",  "JinList.Captions",
            "JinListColumns",    "Schedule.Captions", "Hotkey.Captions",  "FXFrm.Captions",     "About.Captions",
            "DbgFrm.Captions",   "FindDialog.Captions", "SelLang.Captions", "JinPlay.Captions", "RearPlay.Captions",
            "FXFrm.Units",       "ScheduleListColumns", "Texts",           "Sorbelt",          "Settings.Hints"};
        for (const std::string& section : lang.sections())
            EXPECT_TRUE(known.count(section)) << language << " has the section " << section;
        EXPECT_TRUE(fs::exists(controls::HelpDocument(language))) << language;
        EXPECT_NE(controls::HelpDocument(language), controls::HelpFile(language)) << "the HTML help beside the .chm name";
    }
    // Russian gives the search fields and messages their built-in texts.
    EXPECT_EQ(comboItems(form->cbFindIndex), builtInFields);
    EXPECT_EQ(form->Messages, builtInMessages);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(header(form->LVSlave, c), header(form->LVMaster, c));

    // Both languages name the same keys, so that going from one to the other replaces every text.
    const platform::IniFile en(LanguageFile("En"));
    const platform::IniFile ru(LanguageFile("Ru"));
    EXPECT_EQ(en.sections(), ru.sections());
    for (const std::string& section : ru.sections())
        EXPECT_EQ(ru.keys(section), en.keys(section)) << section;
}

TEST_F(Languages, F1OpensTheHelpOfTheChosenLanguage)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    copyShippedLanguages();
    form->LangDir = "En";
    form->aHelpContent->trigger();
    programDir.write("Lang/En/help.chm", "chm");
    form->aHelpContentExecute();
    form->LangDir = "Missing";
    form->aHelpContentExecute();
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(catcher.urls[0].toLocalFile().toStdString(), programDir.path() + "/Lang/En/help.html");
    EXPECT_EQ(catcher.urls[1].toLocalFile().toStdString(), programDir.path() + "/Lang/En/help.chm");
    EXPECT_EQ(catcher.urls[2].toLocalFile().toStdString(), programDir.path() + "/Lang/Missing/help.chm");
    EXPECT_TRUE(messages.shown().empty());

    // Nothing here opens files: a box says where the help lies; a missing help is not told.
    form->aHelpContentExecute();
    EXPECT_TRUE(messages.shown().empty());
    form->LangDir = "En";
    form->aHelpContentExecute();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find(programDir.path() + "/Lang/En/help.chm"), std::string::npos);
    EXPECT_EQ(form->aHelpContent->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(form->aHelpContent->text(), QStringLiteral("Содержание"));
}

TEST_F(Languages, TheDrawnMenuBarHoldsEveryMenuAndItemByName)
{
    ASSERT_NE(form->MainMenuXP1, nullptr);
    EXPECT_EQ(form->menuBar(), form->MainMenuXP1);
    EXPECT_EQ(form->findChild<controls::TMainMenuXP*>("MainMenuXP1"), form->MainMenuXP1);
    QList<QMenu*> barMenus;
    for (QAction* a : form->MainMenuXP1->actions())
        if (a->menu() != nullptr)
            barMenus << a->menu();
    EXPECT_EQ(barMenus, (QList<QMenu*>{form->mFile, form->mEdit, form->mPlaylist, form->mView, form->mBase,
                                      form->mSettings, form->mJingles, form->mHelp}));
    for (const char* name : {"mFile", "mEdit", "mPlaylist", "mView", "mBase", "mSettings", "mJingles", "mHelp"}) {
        auto* menu = form->findChild<QMenu*>(name);
        ASSERT_NE(menu, nullptr) << name;
        EXPECT_EQ(menu->style(), form->MainMenuXP1->xpStyle()) << name << " is drawn";
    }
    EXPECT_EQ(form->mLoadProfile->style(), form->MainMenuXP1->xpStyle()) << "menus at any depth";
    EXPECT_TRUE(form->mSettings->actions().contains(form->aSettings));
    EXPECT_TRUE(form->mSettings->actions().contains(form->Language1));
    EXPECT_TRUE(form->mHelp->actions().contains(form->aHelpContent));
    EXPECT_TRUE(form->PopupMenu1->actions().contains(form->N52));
    EXPECT_EQ(form->findChild<QAction*>("aSettings")->text(), QStringLiteral("Настройки..."));
    EXPECT_EQ(form->findChild<QAction*>("Language1")->text(), "Select language...");
    EXPECT_EQ(form->findChild<QAction*>("N52")->text(), QStringLiteral("Конвертировать"));
    // A menu hung in later is drawn too.
    QMenu* later = form->mHelp->addMenu(QStringLiteral("Later"));
    QCoreApplication::processEvents();
    EXPECT_EQ(later->style(), form->MainMenuXP1->xpStyle());
}

TEST_F(Languages, TheStatusBarsPanelsAndTheApplicationsHint)
{
    controls::TvtqStatusPanels& panels = form->StatusBar1->Panels();
    ASSERT_EQ(panels.Count(), 7);
    EXPECT_TRUE(panels[0]->Spring());
    EXPECT_EQ(panels[0]->Width(), 190);
    EXPECT_FALSE(panels[0]->FitToContent());
    for (int i = 1; i < 7; ++i)
        EXPECT_TRUE(panels[i]->FitToContent()) << i;
    EXPECT_EQ(panels[1]->ImageIndex(), 41);
    EXPECT_EQ(panels[1]->Hint, "CPU load");
    EXPECT_EQ(panels[2]->ImageIndex(), 42);
    EXPECT_EQ(panels[2]->Hint, "RAM used");
    EXPECT_EQ(panels[3]->ImageIndex(), 38);
    EXPECT_EQ(panels[3]->Text(), "LOADING: PLEASE WAIT.....");
    EXPECT_TRUE(form->StatusBar1->SizeGrip());
    EXPECT_TRUE(form->StatusBar1->UseSystemFont());
    EXPECT_GE(form->StatusBar1->Images().size(), 43);
    EXPECT_FALSE(form->StatusBar1->Images()[41].toImage().isNull());
    EXPECT_EQ(form->Gauge1->parentWidget(), form->StatusBar1);
    EXPECT_EQ(form->Label11->parentWidget(), form->StatusBar1);
    EXPECT_EQ(form->Label28->parentWidget(), form->StatusBar1);
    form->StatusBar1->resize(800, 22);
    form->StatusBar1->renderFrame();
    EXPECT_EQ(panels[2]->FitWidth(), form->StatusBar1->fontMetrics().horizontalAdvance("mem") + 28);

    form->lOnAir->setText("Artist\r\nTitle");
    QStatusTipEvent tip(QStringLiteral("Adds a file"));
    QCoreApplication::sendEvent(form.get(), &tip);
    EXPECT_EQ(panels[0]->Text().toStdString(), "Adds a file");
    EXPECT_EQ(form->lOnAir->toolTip(), "Artist - Title");
    // A menu item's hint reaches the window the same way when the mouse is over it.
    form->N25->setStatusTip(QStringLiteral("Add one file"));
    form->N25->showStatusText(form->MainMenuXP1);
    EXPECT_EQ(panels[0]->Text().toStdString(), "Add one file");
}

// Every window of the player, open at once: the main window and what it holds (the diagnostics,
// notes, find, effects, jingle, monitor and About windows, the jingle list, schedule and hot-key
// dialogs), with the modal ones read while they are up; what the windows write while a track
// plays; the filters of every file dialog; and Qt's own boxes and file dialogs. Neither language
// leaves a text in the other.
TEST_F(Languages, EachLanguageLeavesNoTextOfTheOtherAndTakesTheWindowsBack)
{
    copyShippedLanguages();
    form->CreateDbgFrm();
    form->CreateNotesFrm();
    form->JingleSlots[0] = QString::fromStdString(programDir.path() + "/jingle.mp3");
    // The monitor's title becomes the file's name, which is in no language.
    form->LVMaster->Rows.push_back(
        playertest::row("a", "01:00", QString::fromStdString(programDir.path() + "/01.mp3")));
    form->LVMaster->syncView();
    form->AddFile(QString::fromStdString(programDir.write("02.wav", playertest::soundWavFile(2, 44100, 44100))));
    form->RenumberList();
    // The encoder presets that ship, and the folder tree as it first shows.
    fs::create_directories(programDir.path() + "/Presets");
    fs::copy(std::string(QV_BIN_DIR) + "/Presets/Encoder.prs", programDir.path() + "/Presets/Encoder.prs");
    form->SHView->BuildNodes();
    auto foreign = [&](const std::string& language) {
        auto other = language == "Ru" ? testcaptions::EnglishCaptions : testcaptions::RussianCaptions;
        auto otherText = language == "Ru" ? testcaptions::readsAsEnglish : testcaptions::readsAsRussian;
        form->LangDir = language;
        form->LoadLanguage();
        // A track starts and the main timer ticks: the BPM and automatic level labels are written.
        form->LVMaster->selectRows({1});
        form->aPlay();
        QCoreApplication::sendPostedEvents();
        form->maintimerTimer();
        form->LVMaster->selectRows({0});
        std::set<std::string> found;
        auto add = [&](QWidget* window, bool withToolTips) {
            const std::set<std::string> more = other(window, withToolTips);
            found.insert(more.begin(), more.end());
        };
        messages.clear();
        whenShown<TfrmSettings>([&](TfrmSettings& d) {
            add(&d, true);
            d.Button2Click();
            d.Button4Click();
            d.Button3->click();
        });
        form->aSettingsExecute();
        whenShown<TSelLang>([&](TSelLang& d) {
            add(&d, true);
            d.Button2->click();
        });
        form->Language1Click();
        form->Button2Click();
        form->N40Click();
        form->PlayJingl(0);
        form->N51Click();
        form->N30Click();
        form->Button1Click();
        form->N48Click();
        add(form.get(), true);
        // The status bar's panels that the language names (the monitor type stays as it is).
        for (int panel : {4, 5})
            if (otherText(form->StatusBar1->Panels()[panel]->Text()))
                found.insert("status panel: " + form->StatusBar1->Panels()[panel]->Text().toStdString());
        // What the player tells the operator itself: the input box of a profile's name and its
        // refusal, the refusal of a helper outside the main window, a failure in the status bar
        // (the path, which is in no language, left out).
        const std::size_t before = messages.shown().size();
        messages.pushText("..");
        form->mSaveProfileAsClick();
        form->eq_preset->setEditText("..");
        form->SpeedButton9->click();
        std::vector<platform::RecordedUserMessages::Shown> told = messages.shown();
        told.erase(told.begin(), told.begin() + static_cast<std::ptrdiff_t>(before));
        EXPECT_EQ(told.size(), 3u) << language;
        const std::string folder = programDir.path() + "/unread.m3u";
        fs::create_directories(folder);
        form->HandleHandOver("list", folder);
        const QString failure = form->StatusBar1->Panels()[0]->Text().remove(QString::fromStdString(folder));
        told.push_back({"status bar", failure.toStdString(), "", 0, ""});
        // A pre-listen set on the air's own device, refused as it starts.
        engine::EngineSettings devices = engine::engineSettings();
        devices.SecondDev = devices.MainDev;
        engine::setEngineSettings(devices);
        form->MonType = 2;
        form->InitMonitorDevice();
        form->devicetimerTimer();
        form->MonType = 0;
        told.push_back({"status bar", form->StatusBar1->Panels()[0]->Text().toStdString(), "", 0, ""});
        for (const auto& s : told)
            for (const std::string& text : {s.text, s.caption})
                if (otherText(QString::fromStdString(text)))
                    found.insert(s.kind + ": " + text);
        // Every file dialog, cancelled: the names of its filters.
        form->aOpenExecute();
        form->aSaveAsExecute();
        form->N25Click();
        form->N47Click();
        if (auto* jingles = form->findChild<TfrmJinList*>()) {
            jingles->ListView1->setCurrentItem(jingles->ListView1->topLevelItem(0));
            jingles->Button1Click();
            jingles->Button4Click();
            jingles->Button5Click();
        }
        if (auto* schedule = form->findChild<Ttimeform*>()) {
            schedule->Button7Click();
            schedule->Button3Click();
            schedule->Button6Click();
        }
        const std::set<std::string> filters = testcaptions::FilterNamesThat(messages.shown(), otherText);
        found.insert(filters.begin(), filters.end());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != form.get() && w->isVisible())
                w->close();
        QCoreApplication::processEvents();
        return found;
    };
    EXPECT_EQ(foreign("Ru"), std::set<std::string>{});
    QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(files.findChild<QLabel*>("fileTypeLabel")->text(), QStringLiteral("Типы файлов:"));

    EXPECT_EQ(foreign("En"), std::set<std::string>{});
    std::set<std::string> back;
    for (QWidget* window : std::initializer_list<QWidget*>{form.get(), form->DbgFrm})
        for (const std::string& caption : testcaptions::EnglishCaptions(window, true))
            back.insert(caption);
    for (const char* caption : {"QToolButton:btRepeat: Repeat track", "QLabel:lbGain: Gain", "QAction:aPlay: Play",
                                "player::TDbgFrm:DbgFrm: Debug window"})
        EXPECT_TRUE(back.count(caption)) << caption;
    QMessageBox again(QMessageBox::Question, "", "", QMessageBox::Cancel);
    EXPECT_EQ(again.button(QMessageBox::Cancel)->text(), "Cancel");
}
