// The database program's main window in process and offscreen: the three start modes, "Base.ini",
// the save question, adding folders and files, totals, column sort, search and captions.
#include "database/abortflag.h"
#include "database/basemainwindow.h"
#include "database/dfsfile.h"
#include "database/dialogs/optfrm.h"
#include "database/dialogs/statfrm.h"
#include "database/dialogs/tagedit.h"
#include "database/progresswindow.h"
#include "database/recordtext.h"
#include "database/strconst.h"
#include "database/tracklistmodel.h"
#include "database/vqstatusbar.h"
#include "platform/inifile.h"
#include "platform/messageids.h"
#include "platform/recordedusermessages.h"
#include "platform/registry.h"
#include "mainwindowfixture.h"
#include "tests/common/englishcaptions.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace database;
namespace fs = std::filesystem;

namespace {

using dbtest::MainWindowTest;

TEST_F(MainWindowTest, HiddenModeStaysHiddenAndQuitsWithoutWritingSettings)
{
    const std::string base = makeBase("b.dfs", 2);
    TBase_main_window w({"hidden", "1234", base});
    bool finished = false;
    QObject::connect(&w, &TBase_main_window::finished, [&] { finished = true; });
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "DatabaseWindow1234");
    EXPECT_EQ(platform::findWindow(kWindowClass, "DatabaseWindow1234"), w.handle());
    EXPECT_EQ(w.PlayerWindow, 1234u);
    EXPECT_EQ(w.Base.size(), 2u);
    EXPECT_EQ(w.model()->rowCount(), 2);
    // The ".dfs" type is registered at every start.
    EXPECT_EQ(platform::Registry::readString(platform::RegistryRoot::ClassesRoot, ".dfs", "").value_or(""), "dfsfile");
    EXPECT_NE(platform::Registry::readString(platform::RegistryRoot::ClassesRoot, "dfsfile\\shell\\open\\command", "")
                  .value_or("")
                  .find(" \"%1\""),
              std::string::npos);

    ASSERT_TRUE(platform::postMessage(w.handle(), platform::UM_SEARCH_QUIT, 0, 0));
    ASSERT_TRUE(waitFor([&] { return finished; }));
    EXPECT_FALSE(fs::exists(baseIni()));
    EXPECT_EQ(platform::findWindow(kWindowClass, "DatabaseWindow1234"), 0u);
}

TEST_F(MainWindowTest, UserModeWritesDefaultsBackOnClose)
{
    const std::string base = makeBase("b.dfs", 3);
    {
        TBase_main_window w({base});
        w.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(w.Base.size(), 3u);
        EXPECT_EQ(w.Label5->text().toStdString(), base);
        EXPECT_EQ(w.Label17->text(), "0:03:00");
        EXPECT_TRUE(w.close());
    }
    const platform::IniFile ini(baseIni());
    for (const char* key : {"NoEmpty", "NoError", "CheckTimeOnce", "QSearch", "CountTime"})
        EXPECT_EQ(ini.readString("Options", key, ""), "1") << key;
    for (const char* key : {"OverwriteOnCopy", "OpenLastBase", "Tag_NoChangeGenre"})
        EXPECT_EQ(ini.readString("Options", key, ""), "0") << key;
    EXPECT_EQ(ini.readInteger("Options", "Volume", -1), 100);
    EXPECT_EQ(ini.readInteger("Options", "MonType", -1), 3);
    EXPECT_EQ(ini.readString("Options", "Colors", ""), "00000000800000000000800000800000");
    EXPECT_EQ(ini.readString("Data", "LastBaseName", ""), base);
    EXPECT_FALSE(ini.valueExists("Options", "Color1"));
    EXPECT_TRUE(ini.valueExists("Font", "Name"));
}

TEST_F(MainWindowTest, OpenLastBaseOnlyWithoutCommandLineBase)
{
    const std::string last = makeBase("last.dfs", 4);
    const std::string given = makeBase("given.dfs", 1);
    dbtest::writeAll(baseIni(), "[Options]\nOpenLastBase=1\n[Data]\nLastBaseName=" + last + "\n");
    {
        TBase_main_window w({given});
        w.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(w.BFName, given);
        EXPECT_EQ(w.Base.size(), 1u);
        w.close();
    }
    dbtest::writeAll(baseIni(), "[Options]\nOpenLastBase=1\n[Data]\nLastBaseName=" + last + "\n");
    {
        TBase_main_window w({});
        w.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(w.BFName, last);
        EXPECT_EQ(w.Base.size(), 4u);
        w.close();
    }
    dbtest::writeAll(baseIni(), "");
    TBase_main_window w({"fromplayer", "77", given});
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.PlayerWindow, 77u);
    EXPECT_EQ(w.Base.size(), 1u);
    EXPECT_NE(w.windowTitle().toStdString().find("Music base"), std::string::npos);
    w.close();
}

TEST_F(MainWindowTest, SaveQuestionCancelAndFailedSaveKeepWindowAndBase)
{
    const std::string base = makeBase("b.dfs", 2);
    TBase_main_window w({base});
    w.show();
    QCoreApplication::processEvents();
    w.Modified = true;

    messages.pushAnswer(platform::IDCANCEL);
    EXPECT_FALSE(w.close());
    EXPECT_EQ(w.Base.size(), 2u);
    EXPECT_EQ(lastBox(), _ask_savebase);

    messages.pushAnswer(platform::IDYES);  // then the save dialog is cancelled (no text queued)
    EXPECT_FALSE(w.close());
    EXPECT_EQ(w.Base.size(), 2u);

    messages.pushAnswer(platform::IDYES);
    messages.pushText(path("missing-dir/new.dfs"));  // cannot be written
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.Modified);
    EXPECT_EQ(w.BFName, base);
    EXPECT_FALSE(fs::exists(baseIni()));

    messages.pushAnswer(platform::IDYES);
    messages.pushText(path("new.dfs"));
    EXPECT_TRUE(w.close());
    EXPECT_EQ(dbtest::readAll(path("new.dfs")), dbtest::readAll(base));
    // Settings are written after the question: the new name is remembered.
    EXPECT_EQ(platform::IniFile(baseIni()).readString("Data", "LastBaseName", ""), path("new.dfs"));
}

TEST_F(MainWindowTest, NoInSaveQuestionClosesWithoutSaving)
{
    const std::string base = makeBase("b.dfs", 2);
    const std::string before = dbtest::readAll(base);
    TBase_main_window w({base});
    w.show();
    QCoreApplication::processEvents();
    w.AddFile(path("nothing.mp3"));  // gone file: not added with NoEmpty on
    w.Modified = true;
    messages.pushAnswer(platform::IDNO);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(dbtest::readAll(base), before);
}

class AddFolderTest : public MainWindowTest {
protected:
    void makeTree()
    {
        fs::create_directories(path("music/sub"));
        dbtest::writeTaggedFile(path("music/a.mp3"), "Alpha", "Artist A");
        dbtest::writeUntaggedFile(path("music/b.mp3"));
        dbtest::writeTaggedFile(path("music/sub/c.ogg"), "Gamma", "Artist C");
        dbtest::writeTaggedFile(path("music/sub/d.wav"), "Delta", "Artist D");
        dbtest::writeTaggedFile(path("music/e.txt"), "Text", "Not audio");
        fs::create_directory_symlink(path("music"), path("music/sub/loop"));
    }
    std::vector<std::string> titles(TBase_main_window& w)
    {
        std::vector<std::string> out;
        for (auto* r : w.Base.List2)
            out.push_back(columnText(*r, 1).toStdString());
        return out;
    }
};

TEST_F(AddFolderTest, NoEmptyOnAndOffAndSymlinkLoop)
{
    makeTree();
    TBase_main_window w({});
    w.show();
    QCoreApplication::processEvents();
    w.Options.CountTime = false;
    w.addFolder(path("music"));
    EXPECT_EQ(titles(w), (std::vector<std::string>{"Alpha", "Gamma", "Delta"}));
    // What the option left out is told once, at the end, with why.
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "Не добавлено файлов без тега ID3v1: 1 из 4 (в настройках включено «Не добавлять файлы с пустыми тегами»)");
    EXPECT_TRUE(w.Modified);
    EXPECT_EQ(w.Label3->text(), "3");
    EXPECT_EQ(w.Label5->text(), "---");
    EXPECT_EQ(w.Label17->text(), "0:00:00+");
    EXPECT_EQ(w.model()->rowCount(), 3);
    EXPECT_FALSE(w.progressWindow());
    EXPECT_TRUE(w.centralWidget()->isEnabled());
    EXPECT_EQ(w.VqStatusBar1->panel(1)->text().left(12), "Build time: ");
    EXPECT_TRUE(w.Timer3->isActive());
    w.Timer3Timer();
    EXPECT_EQ(w.VqStatusBar1->panel(1)->text(), "");

    w.Button8Click();
    w.Options.NoEmpty = false;
    w.addFolder(path("music"));
    EXPECT_EQ(titles(w), (std::vector<std::string>{"Alpha", "", "Gamma", "Delta"}));
    EXPECT_EQ(boxes().size(), 1u) << "nothing was left out";
    w.Modified = false;
    w.close();
}

TEST_F(AddFolderTest, ProgressIsCentredAndCancelAfterKFilesKeepsThem)
{
    fs::create_directories(path("many"));
    for (int i = 0; i < 20; ++i)
        dbtest::writeTaggedFile(path("many/t" + std::to_string(100 + i) + ".mp3"), "T" + std::to_string(i), "A");
    TBase_main_window w({});
    w.show();
    w.Options.CountTime = false;
    QPoint offCentre(-1000, -1000);
    w.onPassItem = [&](std::size_t done) {
        if (done == 1 && w.progressWindow())
            offCentre = w.progressWindow()->frameGeometry().center() - w.frameGeometry().center();
        if (done == 7 && w.progressWindow())
            w.progressWindow()->Button9->click();
    };
    w.addFolder(path("many"));
    EXPECT_LE(offCentre.manhattanLength(), 1) << offCentre.x() << ", " << offCentre.y();
    EXPECT_EQ(w.Base.size(), 7u);
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<TProgress_window*>(top) && top->isVisible());
    EXPECT_TRUE(w.Modified);
    EXPECT_FALSE(AbortFlag);
    EXPECT_TRUE(w.centralWidget()->isEnabled());

    // Closing the progress window is a Cancel too, and the pass goes on safely without it.
    w.Button8Click();
    w.onPassItem = [&](std::size_t done) {
        if (done == 3 && w.progressWindow())
            w.progressWindow()->close();
    };
    w.addFolder(path("many"));
    EXPECT_EQ(w.Base.size(), 3u);
    EXPECT_TRUE(w.centralWidget()->isEnabled());
    w.Modified = false;
    w.close();
}

TEST_F(AddFolderTest, PathTooLongIsReportedOnceAndNotAdded)
{
    std::string deep = "long";
    while (deep.size() + dir.path().size() < 260)
        deep += "/xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
    fs::create_directories(path(deep));
    dbtest::writeTaggedFile(path(deep + "/one.mp3"), "One", "A");
    dbtest::writeTaggedFile(path(deep + "/two.mp3"), "Two", "A");
    dbtest::writeTaggedFile(path("long/ok.mp3"), "Ok", "A");
    TBase_main_window w({});
    w.Options.CountTime = false;
    w.addFolder(path("long"));
    EXPECT_EQ(w.Base.size(), 1u);
    int boxes = 0;
    for (auto& s : messages.shown())
        if (s.kind == "messageBox") {
            ++boxes;
            EXPECT_NE(s.text.find("one.mp3"), std::string::npos);
            EXPECT_NE(s.text.find("two.mp3"), std::string::npos);
        }
    EXPECT_EQ(boxes, 1);
    w.Modified = false;
    w.close();
}

TEST_F(AddFolderTest, AddFilesCountsOnlyMissingDurationsAndTotalsCarryPlus)
{
    const std::string base = makeBase("b.dfs", 2);
    TBase_main_window w({base});
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Label17->text(), "0:02:00");
    w.Options.NoEmpty = false;
    w.Options.CheckTimeOnce = false;
    w.addFiles({path("none.mp3")});  // unreadable: added empty, duration unmeasurable
    EXPECT_EQ(w.Base.size(), 3u);
    EXPECT_FALSE(w.Options.CheckTimeOnce);  // restored after the forced run
    EXPECT_EQ(w.Base.List2[0]->Duration, 60000);  // known durations were not measured again
    EXPECT_EQ(w.Label17->text(), "0:02:00+");
    w.N2Click();
    EXPECT_EQ(w.Label20->text(), "0:02:00+");
    w.ListView1->clearSelection();
    w.CalcTotalTime(1);
    EXPECT_EQ(w.Label20->text(), "0:00:00");
    w.Modified = false;
    w.close();
}

TEST_F(MainWindowTest, ColumnSortDirectionSequences)
{
    const std::string base = makeBase("b.dfs", 3);  // titles T0 T1 T2, artists A3 A2 A1
    TBase_main_window w({base});
    w.show();
    QCoreApplication::processEvents();
    auto col = [&](int c) {
        std::vector<std::string> out;
        for (auto* r : w.Base.List)
            out.push_back(columnText(*r, c).toStdString());
        return out;
    };
    w.ListView1ColumnClick(1);
    EXPECT_EQ(col(1), (std::vector<std::string>{"T2", "T1", "T0"}));
    w.ListView1ColumnClick(1);
    EXPECT_EQ(col(1), (std::vector<std::string>{"T0", "T1", "T2"}));
    w.ListView1ColumnClick(6);  // descending by time
    w.ListView1ColumnClick(0);  // ascending by artist
    EXPECT_EQ(col(0), (std::vector<std::string>{"A1", "A2", "A3"}));
    EXPECT_EQ(w.Base.List2, w.Base.List);  // the base takes the sorted order

    // Size column: the search is dropped, the direction flips, the order stays.
    w.Edits[0]->setText("T1");
    w.SearchBase();
    EXPECT_EQ(w.Base.List.size(), 1u);
    EXPECT_EQ(w.Label15->text(), "1");
    const int dir = w.SortDirection;
    const auto order = w.Base.List2;
    w.ListView1ColumnClick(8);
    EXPECT_EQ(w.SortDirection, -dir);
    EXPECT_EQ(w.Base.List, order);
    EXPECT_EQ(w.Edits[0]->text(), "");
    EXPECT_EQ(w.model()->rowCount(), 3);
    // A save after the sort writes the sorted order.
    messages.pushText(path("sorted.dfs"));
    ASSERT_TRUE(w.Button5Click());
    const DfsLoadResult saved = readDfsFile(path("sorted.dfs"));
    ASSERT_EQ(saved.records.size(), 3u);
    EXPECT_EQ(columnText(*saved.records[0], 0), "A1");
    w.close();
}

TEST_F(MainWindowTest, QuickSearchOnKeyReleaseAndSaveWritesWholeBase)
{
    const std::string base = makeBase("b.dfs", 12);
    TBase_main_window w({base});
    w.show();
    QCoreApplication::processEvents();
    w.Edits[0]->setText("t1");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_1, Qt::NoModifier, "1");
    QApplication::sendEvent(w.Edits[0], &release);
    EXPECT_EQ(w.Base.List.size(), 3u);  // T1, T10, T11
    EXPECT_EQ(w.model()->rowCount(), 3);
    QKeyEvent arrow(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    w.Edits[0]->setText("T11");
    QApplication::sendEvent(w.Edits[0], &arrow);
    EXPECT_EQ(w.Base.List.size(), 3u);  // arrows do not search
    messages.pushText(path("whole.dfs"));
    ASSERT_TRUE(w.Button5Click());
    EXPECT_EQ(dbtest::readAll(path("whole.dfs")), dbtest::readAll(base));
    w.ResetSearch();
    EXPECT_EQ(w.Base.List.size(), 12u);
    w.close();
}

TEST_F(MainWindowTest, CaptionsMessagesAndColumnsFromLanguageFile)
{
    {
        TBase_main_window w({});
        w.show();
        QCoreApplication::processEvents();
        // No language file: built-in captions, "-" for the columns.
        EXPECT_EQ(w.Button1->text(), QString::fromUtf8("Добавить папку"));
        EXPECT_EQ(w.model()->headerData(0, Qt::Horizontal).toString(), "-");
        w.close();
    }
    // "Ru" is the language of a program folder whose "system.ini" names none.
    fs::create_directories(path("Lang/Ru"));
    dbtest::writeAll(path("Lang/Ru/lang_b.ini"),
                     "[Main.Captions]\nButton1=Add folder\nNoSuchControl=x\n[Main.Menus]\nN2=Select all\n"
                     "[Main.ListColumns]\nc0=Artist\nc7=File\n[Strings]\n_ask_savebase=Save it?\n");
    TBase_main_window w({});
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Button1->text(), "Add folder");
    EXPECT_EQ(w.N2->text(), "Select all");
    EXPECT_EQ(w.model()->headerData(0, Qt::Horizontal).toString(), "Artist");
    EXPECT_EQ(w.model()->headerData(7, Qt::Horizontal).toString(), "File");
    EXPECT_EQ(w.model()->headerData(1, Qt::Horizontal).toString(), "-");
    EXPECT_EQ(_ask_savebase, "Save it?");
    w.close();
}

// Every caption of the window's buttons and labels whole, at the size the window has.
void expectWholeCaptions(const QWidget& w, const std::string& what)
{
    for (QWidget* c : w.findChildren<QWidget*>()) {
        if (!c->isVisible() || !(qobject_cast<QPushButton*>(c) || qobject_cast<QLabel*>(c)))
            continue;
        EXPECT_GE(c->width(), c->sizeHint().width())
            << what << " " << c->objectName().toStdString() << " at " << w.width() << "x" << w.height();
    }
}

TEST_F(MainWindowTest, TheShippedLanguagesNameEverythingAndNeitherLeavesATextOfTheOther)
{
    for (const char* language : {"Ru", "En"}) {
        fs::create_directories(path("Lang"));
        fs::copy(std::string(QV_BIN_DIR) + "/Lang/" + language, path(std::string("Lang/") + language),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        dbtest::writeAll(path("system.ini"), std::string("[Options]\nLangDir=") + language + "\n");
        resetStrings();
        TBase_main_window w({});
        w.show();
        QCoreApplication::processEvents();
        for (int c = 0; c < 9; ++c)
            EXPECT_NE(w.model()->headerData(c, Qt::Horizontal).toString(), "-") << language << " column " << c;
        expectWholeCaptions(w, language);
        // Every key names a control of its kind: a button or label of the window, a menu item.
        const platform::IniFile lang(path(std::string("Lang/") + language + "/lang_b.ini"));
        for (const std::string& key : lang.keys("Main.Captions")) {
            QObject* o = key == "Base_main_window" ? &w : w.findChild<QObject*>(QString::fromStdString(key));
            EXPECT_TRUE(o == &w || qobject_cast<QAbstractButton*>(o) || qobject_cast<QLabel*>(o) ||
                        qobject_cast<QLineEdit*>(o))
                << language << " " << key;
        }
        for (const std::string& key : lang.keys("Main.Menus"))
            EXPECT_NE(w.findChild<QAction*>(QString::fromStdString(key)), nullptr) << language << " " << key;
        // A caption key names the window itself or a button, label, group box or tab page of it.
        auto captionsOf = [&](QWidget& window, const char* section) {
            for (const std::string& key : lang.keys(section)) {
                const QString name = QString::fromStdString(key);
                QObject* o = window.findChild<QObject*>(name);
                bool page = false;
                for (QTabWidget* tabs : window.findChildren<QTabWidget*>())
                    page = page || (qobject_cast<QWidget*>(o) && tabs->indexOf(static_cast<QWidget*>(o)) >= 0);
                EXPECT_TRUE(window.objectName() == name || qobject_cast<QAbstractButton*>(o) ||
                            qobject_cast<QLabel*>(o) || qobject_cast<QGroupBox*>(o) || page)
                    << language << " " << section << "/" << key;
            }
        };
        TProgress_window progress(&w, nullptr);
        captionsOf(progress, "Progress.Captions");
        BaseOptions options;
        bool keepGenre = false;
        TOptFrm optFrm(options, nullptr, nullptr);
        captionsOf(optFrm, "Options.Captions");
        TStatFrm statFrm({});
        captionsOf(statFrm, "StatFrm.Captions");
        TTagEdit tagEdit(keepGenre);
        captionsOf(tagEdit, "TagEdit.Captions");
        EXPECT_EQ(lang.sections(), (std::vector<std::string>{"Main.Captions", "Main.Menus", "Main.ListColumns",
                                                             "Progress.Captions", "Options.Captions",
                                                             "StatFrm.Captions", "TagEdit.Captions", "Texts",
                                                             "Strings"}));
        EXPECT_EQ(lang.keys("Strings").size(), 10u);
        // Every window as the user meets it (the progress window is titled when a pass opens it,
        // the statistics window shows the figures of its run), with Qt's own buttons and the
        // filters of the file dialogs in the same language.
        w.ApplyCaptions(&progress, "Progress.Captions");
        progress.setWindowTitle(QString::fromStdString(_p_addtracks));
        w.ApplyCaptions(&optFrm, "Options.Captions");
        w.ApplyCaptions(&tagEdit, "TagEdit.Captions");
        auto other = std::string(language) == "Ru" ? testcaptions::EnglishCaptions : testcaptions::RussianCaptions;
        auto otherText = std::string(language) == "Ru" ? testcaptions::readsAsEnglish : testcaptions::readsAsRussian;
        std::set<std::string> foreign;
        w.Base.append(dbtest::makeTrack({.title = "T", .fileName = "/m/t.mp3", .duration = 61000, .size = 4096}));
        w.runDialog = [&](QDialog& dialog) {
            auto& stat = dynamic_cast<TStatFrm&>(dialog);
            stat.show();
            EXPECT_TRUE(waitFor([&] { return stat.Gauge1->isHidden(); }));
            const std::set<std::string> more = other(&stat, true);
            foreign.insert(more.begin(), more.end());
            stat.close();
            return 0;
        };
        w.Button9Click();
        w.runDialog = nullptr;
        messages.clear();
        w.Button5Click();
        w.Button6Click();
        w.Button10Click();
        w.Button11Click();
        const std::set<std::string> filters = testcaptions::FilterNamesThat(messages.shown(), otherText);
        foreign.insert(filters.begin(), filters.end());
        std::set<std::string> english;
        for (QWidget* window : std::initializer_list<QWidget*>{&w, &progress, &optFrm, &tagEdit}) {
            const std::set<std::string> more = other(window, true);
            foreign.insert(more.begin(), more.end());
            const std::set<std::string> read = testcaptions::EnglishCaptions(window, false);
            english.insert(read.begin(), read.end());
        }
        EXPECT_EQ(foreign, std::set<std::string>{}) << language;
        QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (std::string(language) == "Ru") {
            EXPECT_EQ(w.Button1->text(), QString::fromUtf8("Добавить папку"));
            EXPECT_EQ(_str1, " записей было удалено");
            EXPECT_TRUE(w.windowTitle().startsWith(QString::fromUtf8("Музыкальная база"))) << w.windowTitle().toStdString();
            EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("Отмена"));
        } else {
            for (const char* caption : {"database::TOptFrm:OptFrm: Settings", "QPushButton:Button1: Add folder",
                                        "database::TTagEdit:TagEdit: Tag editor"})
                EXPECT_TRUE(english.count(caption)) << caption;
            EXPECT_EQ(_str1, " records were removed");
            EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Cancel");
        }
        w.Modified = false;
        w.close();
    }
    resetStrings();
    // A larger desktop font makes the window larger, never a caption shorter.
    const QFont before = QApplication::font();
    QFont large = before;
    large.setPointSize(16);
    QApplication::setFont(large);
    {
        TBase_main_window w({});
        w.show();
        QCoreApplication::processEvents();
        expectWholeCaptions(w, "16 pt");
        w.close();
    }
    QApplication::setFont(before);
}

TEST_F(MainWindowTest, RestoreFromMinimisedDoesNotReload)
{
    const std::string base = makeBase("b.dfs", 2);
    TBase_main_window w({base});
    w.show();
    QCoreApplication::processEvents();
    w.AddFile(path("x.mp3"));
    w.Options.NoEmpty = false;
    w.AddFile(path("y.mp3"));
    w.Modified = true;
    EXPECT_EQ(w.Base.size(), 3u);
    // A second showing after a hide re-reads "Base.ini" but keeps the changed base.
    w.hide();
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Base.size(), 3u);
    w.Modified = false;
    w.hide();
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Base.size(), 2u);  // unchanged base: reloaded from its file
    w.close();
}

}  // namespace

namespace {

TEST_F(MainWindowTest, EscapingExceptionIsShownWithProgramTitleAndWindowGoesOn)
{
    TBase_main_window w({});
    w.guarded([] { throw std::runtime_error("disk on fire"); });
    const auto shown = messages.shown();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().text, "disk on fire");
    EXPECT_EQ(shown.back().caption, kAppTitle);
    EXPECT_TRUE(w.close());
}

TEST(ProgressWindowTest, CancelTwiceIsOnceAndClosingReenablesHost)
{
    QWidget host;
    host.show();
    AbortFlag = false;
    QPointer<TProgress_window> pw = new TProgress_window(nullptr, &host);
    pw->show();
    EXPECT_FALSE(host.isEnabled());
    pw->Button9->show();
    pw->Button9->click();
    pw->Button9->click();
    EXPECT_TRUE(AbortFlag);
    EXPECT_TRUE(pw->isVisible());  // Cancel does not close it
    AbortFlag = false;
    pw->close();  // closing by other means counts as Cancel
    EXPECT_TRUE(AbortFlag);
    EXPECT_FALSE(pw->isVisible());
    EXPECT_TRUE(host.isEnabled());
    // It frees itself: the deferred delete is queued (run it here, outside an event loop).
    if (pw)
        QCoreApplication::sendPostedEvents(pw.data(), QEvent::DeferredDelete);
    EXPECT_TRUE(pw.isNull());  // it frees itself
    AbortFlag = false;
}

}  // namespace

namespace {

TEST_F(MainWindowTest, UnreadableOrPartlyReadBaseLeavesEmptyBaseWithMessageAndMissingOneSilent)
{
    fs::create_directories(path("dir.dfs"));  // exists, cannot be read as a file
    TBase_main_window w({path("dir.dfs")});
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes().size(), 1u) << "said once, though the creation and the showing both load";
    EXPECT_NE(lastBox().find("Cannot read " + path("dir.dfs")), std::string::npos);
    messages.clear();
    messages.pushText(path("dir.dfs"));
    w.Button6Click();
    EXPECT_EQ(w.Base.size(), 0u);
    EXPECT_NE(lastBox().find("dir.dfs"), std::string::npos);
    EXPECT_EQ(w.Label5->text().toStdString(), path("dir.dfs"));

    messages.clear();
    messages.pushText(path("missing.dfs"));
    w.Button6Click();
    EXPECT_EQ(w.Base.size(), 0u);
    EXPECT_TRUE(lastBox().empty());
    EXPECT_FALSE(w.Modified);

    // A read that fails part way (an input/output error): none of its rows stay, so a save can
    // never put part of the file in place of all of it.
    const std::string full = makeBase("full.dfs", 3);
    w.readBaseFile = [](const std::string& file) {
        DfsLoadResult r = readDfsFile(file);
        r.records.pop_back();
        r.ok = false;
        r.error = "Input/output error";
        return r;
    };
    messages.pushText(full);
    w.Button6Click();
    EXPECT_EQ(w.Base.size(), 0u);
    EXPECT_EQ(w.model()->rowCount(), 0);
    EXPECT_FALSE(w.Modified);
    EXPECT_EQ(lastBox(), "Cannot read " + full + ": Input/output error");
    messages.clear();
    EXPECT_FALSE(w.Modified) << "nothing to save";

    // What is added then never replaces the file that was not read: an end with nobody to ask
    // saves it to a new base, and the log names both.
    const std::string before = dbtest::readAll(full);
    w.Base.append(dbtest::makeTrack({.title = "added", .fileName = "/m/added.mp3"}));
    w.Modified = true;
    w.Exit();
    ASSERT_TRUE(w.hasClosed());
    EXPECT_TRUE(dbtest::readAll(full) == before) << "the file that was not read is left as it was";
    ASSERT_EQ(w.BFName.rfind(path("Database/Base "), 0), 0u) << w.BFName;
    const DfsLoadResult saved = readDfsFile(w.BFName);
    ASSERT_EQ(saved.records.size(), 1u);
    EXPECT_EQ(saved.records[0]->FileName.str(), "/m/added.mp3");
    const std::string log = dbtest::readAll(path("Base.log"));
    EXPECT_NE(log.find("The base is saved to " + w.BFName + ": " + full + " could not be read"), std::string::npos)
        << log;
}

TEST_F(MainWindowTest, NewBaseDialogsStartInTheProgramFoldersDatabaseFolder)
{
    TBase_main_window w({});
    ASSERT_FALSE(fs::exists(path("Database")));
    messages.pushText(path("Database/Base.dfs"));
    ASSERT_TRUE(w.Button5Click());
    EXPECT_TRUE(fs::is_regular_file(path("Database/Base.dfs")));
    w.BFName = "---";
    w.Button6Click();
    std::vector<std::string> starts;
    for (const auto& shown : messages.shown())
        if (shown.kind == "saveFileName" || shown.kind == "openFileName")
            starts.push_back(shown.initialDir);
    EXPECT_EQ(starts, (std::vector<std::string>{path("Database"), path("Database")}));
    // With a base loaded, the dialogs start at its file.
    w.BFName = path("Database/Base.dfs");
    w.Button6Click();
    EXPECT_EQ(messages.shown().back().initialDir, path("Database/Base.dfs"));
    EXPECT_TRUE(w.close());
}

}  // namespace

