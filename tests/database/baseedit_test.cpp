// Delete, Check base and Copy to folder on the window: which records leave, which files move, what
// the user is told, and that nothing else touches the base while a pass runs.
#include "database/filecheck.h"
#include "database/recordtext.h"
#include "mainwindowfixture.h"
#include "platform/messageids.h"
#include "platform/window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QLineEdit>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace database;
using dbtest::MainWindowTest;
namespace fs = std::filesystem;

namespace {

class BaseEditTest : public MainWindowTest {
protected:
    void TearDown() override
    {
        if (m_oldXdg)
            setenv("XDG_DATA_HOME", m_oldXdg->c_str(), 1);
        MainWindowTest::TearDown();
    }
    // The trash of this test, in its own folder (on the files' device).
    void ownTrash(const std::string& xdg)
    {
        if (!m_oldXdg)
            m_oldXdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    }
    std::string file(const std::string& rel, const std::string& content = "audio")
    {
        fs::create_directories(fs::path(path(rel)).parent_path());
        dbtest::writeAll(path(rel), content);
        return path(rel);
    }
    std::unique_ptr<TBase_main_window> open(const std::string& base)
    {
        auto w = std::make_unique<TBase_main_window>(std::vector<std::string>{base});
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
    std::vector<std::string> titles(const std::vector<TTrackRecord*>& rows)
    {
        std::vector<std::string> out;
        for (const TTrackRecord* r : rows)
            out.push_back(columnText(*r, 1).toStdString());
        return out;
    }
    using Titles = std::vector<std::string>;

    std::optional<std::string> m_oldXdg;
};

TEST_F(BaseEditTest, DeleteAfterSortRemovesExactlyTheSelectedRowsAndSaveWritesTheRestOnce)
{
    auto w = open(makeBase("b.dfs", 5));
    w->ListView1ColumnClick(1);  // titles descending: T4 T3 T2 T1 T0
    ASSERT_EQ(titles(w->Base.List), (Titles{"T4", "T3", "T2", "T1", "T0"}));
    selectRows(*w, {1, 3});
    w->Delete1Click(0);
    EXPECT_EQ(titles(w->Base.List), (Titles{"T4", "T2", "T0"}));
    EXPECT_EQ(titles(w->Base.List2), (Titles{"T4", "T2", "T0"}));
    EXPECT_EQ(w->model()->rowCount(), 3);
    EXPECT_TRUE(w->Modified);
    EXPECT_EQ(w->Label3->text(), "3");
    EXPECT_EQ(w->Label17->text(), "0:03:00");
    EXPECT_TRUE(boxes().empty());  // Del alone asks nothing

    messages.pushText(path("after.dfs"));
    ASSERT_TRUE(w->Button5Click());
    const DfsLoadResult saved = readDfsFile(path("after.dfs"));
    ASSERT_EQ(saved.records.size(), 3u);
    EXPECT_EQ(columnText(*saved.records[0], 1), "T4");
    EXPECT_EQ(columnText(*saved.records[1], 1), "T2");
    EXPECT_EQ(columnText(*saved.records[2], 1), "T0");
    w->close();
}

TEST_F(BaseEditTest, DeleteDuringSearchRemovesTheRowShownEachTime)
{
    std::vector<dbtest::TrackFields> tracks;
    for (int i = 0; i < 6; ++i)
        tracks.push_back({.title = "T" + std::to_string(i), .artist = i % 2 ? "Y" : "X",
                          .fileName = "/m/" + std::to_string(i) + ".mp3", .duration = 1000});
    auto w = open(makeBaseOf("b.dfs", tracks));
    w->Edits[1]->setText("X");
    w->SearchBase();
    ASSERT_EQ(titles(w->Base.List), (Titles{"T0", "T2", "T4"}));
    selectRows(*w, {0, 1});
    w->Delete1Click(0);
    EXPECT_EQ(titles(w->Base.List), (Titles{"T4"}));
    EXPECT_EQ(titles(w->Base.List2), (Titles{"T1", "T3", "T4", "T5"}));
    EXPECT_EQ(w->Base.Indexes, (std::vector<int>{2}));
    selectRows(*w, {0});
    w->Delete1Click(0);
    EXPECT_TRUE(w->Base.List.empty());
    EXPECT_EQ(titles(w->Base.List2), (Titles{"T1", "T3", "T5"}));
    EXPECT_EQ(w->Label3->text(), "3");
    w->Modified = false;
    w->close();
}

TEST_F(BaseEditTest, DeleteWithFilesAnsweredNoChangesNothing)
{
    const std::string a = file("music/a.mp3");
    auto w = open(makeBaseOf("b.dfs", {{.title = "A", .fileName = a}}));
    selectRows(*w, {0});
    messages.pushAnswer(platform::IDNO);
    w->Delete1Click(1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, _ask_delfile);
    EXPECT_EQ(boxes()[0].caption, "");
    EXPECT_EQ(boxes()[0].flags, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_EQ(w->Base.size(), 1u);
    EXPECT_TRUE(fs::exists(a));
    EXPECT_FALSE(w->Modified);
    w->close();
}

TEST_F(BaseEditTest, DeleteWithFilesSendsThemToTheTrashAndNamesTheOnesItCouldNot)
{
    ownTrash(path("xdg"));
    const std::string a = file("music/a.mp3", "first");
    const std::string c = file("music/c.mp3", "third");
    auto w = open(makeBaseOf("b.dfs", {{.title = "A", .fileName = a},
                                       {.title = "B", .fileName = path("music/gone.mp3")},
                                       {.title = "C", .fileName = c},
                                       {.title = "D", .fileName = path("music/d.mp3")}}));
    const std::string d = file("music/d.mp3", "kept");
    selectRows(*w, {0, 1, 2});
    messages.pushAnswer(platform::IDYES);
    w->Delete1Click(1);
    EXPECT_EQ(titles(w->Base.List2), (Titles{"D"}));  // the record of the file the trash refused goes too
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(c));
    EXPECT_TRUE(fs::exists(d));
    EXPECT_EQ(dbtest::readAll(path("xdg/Trash/files/a.mp3")), "first");
    EXPECT_EQ(dbtest::readAll(path("xdg/Trash/files/c.mp3")), "third");
    EXPECT_NE(dbtest::readAll(path("xdg/Trash/info/a.mp3.trashinfo")).find("Path=" + a), std::string::npos);
    ASSERT_EQ(boxes().size(), 2u);  // the question, then one report
    EXPECT_NE(boxes()[1].text.find("gone.mp3"), std::string::npos);
    EXPECT_EQ(boxes()[1].text.find("a.mp3"), std::string::npos);

    // No trash can be made at all: every file stays on the disk, the records still leave.
    file("notadir");
    ownTrash(path("notadir/data"));
    selectRows(*w, {0});
    messages.pushAnswer(platform::IDYES);
    w->Delete1Click(1);
    EXPECT_TRUE(w->Base.List2.empty());
    EXPECT_EQ(dbtest::readAll(d), "kept");
    EXPECT_NE(lastBox().find(d), std::string::npos);
    w->Modified = false;
    w->close();
}

TEST_F(BaseEditTest, CheckRemovesMissingFilesAlsoTheLastAndShowsTheWholeBase)
{
    const std::string a = file("music/a.mp3");
    const std::string c = file("music/c.mp3");
    auto w = open(makeBaseOf("b.dfs", {{.title = "A", .fileName = a, .duration = 1000},
                                       {.title = "B", .fileName = path("music/b.mp3"), .duration = 1000},
                                       {.title = "C", .fileName = c, .duration = 1000},
                                       {.title = "D", .fileName = path("music/d.mp3"), .duration = 1000}}));
    w->Edits[0]->setText("A");
    w->SearchBase();
    ASSERT_EQ(w->Base.List.size(), 1u);

    messages.pushAnswer(platform::IDNO);
    w->Button2Click();
    EXPECT_EQ(w->Base.size(), 4u);
    EXPECT_EQ(boxes().back().caption, "Check Base");
    EXPECT_EQ(boxes().back().text, _ask_checkbase);

    messages.clear();
    messages.pushAnswer(platform::IDYES);
    w->Button2Click();
    EXPECT_EQ(titles(w->Base.List2), (Titles{"A", "C"}));
    EXPECT_EQ(w->Base.List, w->Base.List2);  // C, not shown before, is kept and shown
    EXPECT_EQ(w->model()->rowCount(), 2);
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1].text, "2" + _str1);
    EXPECT_EQ(boxes()[1].caption, "Base");
    EXPECT_EQ(boxes()[1].flags, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(w->Label3->text(), "2");
    EXPECT_EQ(w->Label17->text(), "0:00:02");
    EXPECT_TRUE(w->Gauge1->isHidden());
    EXPECT_TRUE(w->Modified);
    w->Modified = false;
    w->close();
}

// Runs fn with the effective user "nobody" when this is root (for whom no folder is unreadable).
template <typename Fn>
void withoutRoot(Fn fn)
{
    if (::geteuid() != 0) {
        fn();
        return;
    }
    ASSERT_EQ(::seteuid(65534), 0);
    fn();
    ASSERT_EQ(::seteuid(0), 0);
}

TEST_F(BaseEditTest, CheckKeepsRecordsOfFilesItCannotReachAndCountsThem)
{
    const std::string a = file("music/a.mp3");
    const std::string locked = file("locked/x.mp3");
    ::chmod(dir.path().toUtf8().constData(), 0755);
    ::chmod(path("locked").c_str(), ::geteuid() == 0 ? 0700 : 0);
    auto w = open(makeBaseOf("b.dfs", {{.title = "A", .fileName = a},
                                       {.title = "X", .fileName = locked},
                                       {.title = "G", .fileName = path("music/gone.mp3")}}));
    messages.pushAnswer(platform::IDYES);
    withoutRoot([&] { w->Button2Click(); });
    ::chmod(path("locked").c_str(), 0755);
    EXPECT_EQ(titles(w->Base.List2), (Titles{"A", "X"}));
    EXPECT_EQ(lastBox(), "1" + _str1 + "\r\nНедоступно, записи оставлены: 1");
    w->Modified = false;
    w->close();
}

TEST_F(BaseEditTest, CheckAsksBeforeRemovingWhenNoFileIsFound)
{
    auto w = open(makeBaseOf("b.dfs", {{.title = "A", .fileName = path("away/a.mp3")},
                                       {.title = "B", .fileName = path("away/b.mp3")}}));
    messages.pushAnswer(platform::IDYES);
    messages.pushAnswer(platform::IDNO);
    w->Button2Click();
    ASSERT_EQ(boxes().size(), 3u);
    EXPECT_NE(boxes()[1].text.find("2"), std::string::npos);
    EXPECT_EQ(boxes()[1].flags, platform::MB_YESNO | platform::MB_ICONWARNING | platform::MB_DEFBUTTON2);
    EXPECT_EQ(w->Base.size(), 2u);
    EXPECT_EQ(boxes()[2].text, "0" + _str1);

    messages.clear();
    messages.pushAnswer(platform::IDYES);
    messages.pushAnswer(platform::IDYES);
    w->Button2Click();
    EXPECT_EQ(w->Base.size(), 0u);
    EXPECT_EQ(lastBox(), "2" + _str1);
    w->Modified = false;
    w->close();
}

TEST(FileCheckerTest, NoSuchFileIsBelievedOnlyOnAMountedVolume)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    dbtest::writeAll(root + "/here.mp3", "x");
    const std::string mounts = "/dev/vda / ext4 rw 0 0\nauto.music " + root + "/auto autofs rw 0 0\n";
    const std::string fstab = "# a share that is down\nserver:/music " + root +
                              "/share nfs defaults 0 0\n/dev/sdb1 none swap sw 0 0\nUUID=1 / ext4 defaults 0 1\n";
    const FileChecker checker(mounts, fstab);
    EXPECT_EQ(checker.check(root + "/here.mp3"), FilePresence::Present);
    EXPECT_EQ(checker.check(root + "/gone.mp3"), FilePresence::Missing);
    EXPECT_EQ(checker.check(root), FilePresence::Missing);  // a folder is not the file
    EXPECT_EQ(checker.check(root + "/share/a.mp3"), FilePresence::Unreachable);
    EXPECT_EQ(checker.check(root + "/shared/a.mp3"), FilePresence::Missing);  // only below the point
    EXPECT_EQ(checker.check(root + "/auto/x/a.mp3"), FilePresence::Unreachable);
    fs::create_directory_symlink(root + "/loop", root + "/loop");
    EXPECT_EQ(checker.check(root + "/loop/a.mp3"), FilePresence::Unreachable);  // too many links
}

TEST_F(BaseEditTest, ClosingDuringACheckStopsItWithoutRemovingAndSaveIsOff)
{
    auto w = open(makeBaseOf("b.dfs", {{.title = "A", .fileName = path("a.mp3")},
                                       {.title = "B", .fileName = path("b.mp3")},
                                       {.title = "C", .fileName = file("c.mp3")}}));
    bool finished = false;
    QObject::connect(w.get(), &TBase_main_window::finished, [&] { finished = true; });
    w->checkPumpPeriod = std::chrono::milliseconds(0);
    bool saveOff = false, saveRefused = false;
    std::size_t deferred = 0;
    w->onPassItem = [&](std::size_t done) {
        if (done != 1)
            return;
        saveOff = !w->Button5->isEnabled() && !w->Delete1->isEnabled() && !w->Button6->isEnabled();
        saveRefused = !w->Button5Click();
        // A server request meanwhile waits for the end of the pass.
        platform::sendMessage(w->handle(), platform::UM_BASE_HIDE, 0, 0);
        deferred = w->deferredCount();
        EXPECT_FALSE(w->close());
    };
    messages.pushAnswer(platform::IDYES);
    w->Button2Click();
    EXPECT_TRUE(saveOff);
    EXPECT_TRUE(saveRefused);
    EXPECT_EQ(deferred, 1u);
    EXPECT_EQ(w->Base.size(), 3u);  // nothing removed by a check that did not finish
    EXPECT_EQ(boxes().size(), 1u);  // only the question
    for (const auto& s : messages.shown())
        EXPECT_NE(s.kind, "saveFileName");
    EXPECT_TRUE(waitFor([&] { return finished; }));
}

class CopyTest : public BaseEditTest {
protected:
    std::unique_ptr<TBase_main_window> openThree()
    {
        return open(makeBaseOf("b.dfs", {{.title = "A", .fileName = file("music/a.mp3", "new a")},
                                         {.title = "B", .fileName = file("music/b.mp3", "new b")},
                                         {.title = "C", .fileName = file("music/c.mp3", "new c")}}));
    }
    std::vector<std::string> copyErrors() const
    {
        std::vector<std::string> out;
        for (const auto& b : boxes()) {
            EXPECT_EQ(b.caption, "Error: cannot copy file");
            out.push_back(b.text);
        }
        return out;
    }
};

TEST_F(CopyTest, WithoutOverwriteAnExistingTargetIsReportedAndTheOthersAreCopied)
{
    file("usb/b.mp3", "old b");
    auto w = openThree();
    selectRows(*w, {0, 1, 2});
    messages.pushText(path("usb"));
    w->N4Click();
    EXPECT_EQ(copyErrors(), (std::vector<std::string>{"Cannot copy file: " + path("music/b.mp3") + "\r\n" +
                                                      path("usb/b.mp3") + " exists"}));
    EXPECT_EQ(dbtest::readAll(path("usb/a.mp3")), "new a");
    EXPECT_EQ(dbtest::readAll(path("usb/b.mp3")), "old b");
    EXPECT_EQ(dbtest::readAll(path("usb/c.mp3")), "new c");
    EXPECT_FALSE(w->Modified);  // the base is not changed
    EXPECT_TRUE(w->Gauge1->isHidden());
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(path("usb")), fs::directory_iterator()), 3);

    messages.clear();
    w->Options.OverwriteOnCopy = true;
    messages.pushText(path("usb"));
    w->N4Click();
    EXPECT_TRUE(copyErrors().empty());
    EXPECT_EQ(dbtest::readAll(path("usb/b.mp3")), "new b");
    w->close();
}

TEST_F(CopyTest, ACopyOntoItselfFailsAndLeavesTheSource)
{
    auto w = openThree();
    w->Options.OverwriteOnCopy = true;
    selectRows(*w, {0, 2});
    messages.pushText(path("music") + "/");
    w->N4Click();
    const std::string itself = " is the file itself";
    EXPECT_EQ(copyErrors(), (std::vector<std::string>{
                                "Cannot copy file: " + path("music/a.mp3") + "\r\n" + path("music/a.mp3") + itself,
                                "Cannot copy file: " + path("music/c.mp3") + "\r\n" + path("music/c.mp3") + itself}));
    EXPECT_EQ(dbtest::readAll(path("music/a.mp3")), "new a");
    EXPECT_EQ(dbtest::readAll(path("music/c.mp3")), "new c");
    // A file that is gone: the system's own words say why.
    fs::remove(path("music/a.mp3"));
    messages.clear();
    selectRows(*w, {0});
    messages.pushText(path("usb"));
    w->N4Click();
    EXPECT_EQ(copyErrors(), (std::vector<std::string>{"Cannot copy file: " + path("music/a.mp3") + "\r\n" +
                                                      path("music/a.mp3") + ": No such file or directory"}));
    // Cancel in the folder dialog copies nothing.
    messages.clear();
    w->N4Click();
    EXPECT_TRUE(boxes().empty());
    w->close();
}

TEST_F(CopyTest, TwoSelectedFilesOfOneNameAreFoundBeforeTheFirstCopy)
{
    auto w = open(makeBaseOf("b.dfs", {{.title = "X", .fileName = file("x/song.mp3", "from x")},
                                       {.title = "Y", .fileName = file("y/Song.mp3", "from y")},
                                       {.title = "Z", .fileName = file("z/other.mp3", "z")}}));
    w->Options.OverwriteOnCopy = true;
    selectRows(*w, {0, 1, 2});
    messages.pushText(path("usb"));
    fs::create_directories(path("usb"));
    w->N4Click();
    const auto errors = copyErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(path("y/Song.mp3")), std::string::npos);
    EXPECT_EQ(errors[0].find(path("x/song.mp3")), std::string::npos);
    EXPECT_EQ(dbtest::readAll(path("usb/song.mp3")), "from x");
    EXPECT_FALSE(fs::exists(path("usb/Song.mp3")));
    EXPECT_EQ(dbtest::readAll(path("usb/other.mp3")), "z");
    w->close();
}

}  // namespace
