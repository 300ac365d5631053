// The encode command on the real main window with the real encoder stand-in: three files encoded
// one after the other and decodable, the captions, a stop during the second file, an encoder that
// dies or cannot start, the rows that are no files, the settings first when asked, and the
// progress window's answers.
#include "tests/player/modaldialog.h"
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "audiolib/ffmpegsource.h"
#include "platform/messageids.h"
#include "platform/pathtext.h"
#include "player/encoder/encodablerows.h"
#include "player/encoder/progfrm.h"
#include "player/settings/settingsform.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <csignal>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

using namespace player;
using playertest::whenShown;
namespace fs = std::filesystem;

namespace {

std::string toneWav(int seconds)
{
    std::string s = playertest::wavFile(2, 44100, 44100 * seconds);
    // A tone in place of the silence, so that the encoded files are more than silence.
    for (std::size_t i = 44, n = 0; i + 3 < s.size(); i += 4, ++n) {
        const auto v = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 330.0 * double(n) / 44100.0));
        for (std::size_t c = 0; c < 2; ++c) {
            s[i + 2 * c] = static_cast<char>(v & 0xFF);
            s[i + 2 * c + 1] = static_cast<char>((v >> 8) & 0xFF);
        }
    }
    return s;
}

// Every progress window that shows, as it shows: before any report can reach it.
class ProgressWindows : public QObject {
public:
    ProgressWindows() { qApp->installEventFilter(this); }
    ~ProgressWindows() override { qApp->removeEventFilter(this); }
    std::function<void(TProgFrm&)> onShown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* w = qobject_cast<TProgFrm*>(watched); w != nullptr && m_seen.insert(w).second && onShown)
                onShown(*w);
        return false;
    }

private:
    std::set<QObject*> m_seen;
};

class Encoding : public playertest::ManualClockWindowTest {
protected:
    void beforeCreate() override
    {
        form->LaunchProgram = [](std::string_view, const std::vector<std::string>&) { return false; };
    }
    void SetUp() override
    {
        ManualClockWindowTest::SetUp();
        form->EncoderProgram = QV_BIN_DIR "/encoder";
        fs::create_directories(outDir());
        form->Encoder = EncoderSettings{outDir(), "mp3", "mp3.cfg", 0, "MP3 192 kbit/s", false};
        windows.onShown = [this](TProgFrm& w) {
            QObject::connect(&w, &TProgFrm::reported, &w, [this, &w](qint64 wParam, qint64 lParam) {
                reports.push_back({w.Number, wParam, lParam, w.windowTitle(), w.Label2->text()});
                if (onReport)
                    onReport(w, wParam);
            });
        };
    }
    std::string outDir() const { return programDir.path() + "/encoded out"; }
    // Rows of the Main list for the files, all selected.
    void selectFiles(const std::vector<std::string>& paths)
    {
        std::vector<int> rows;
        for (const std::string& p : paths) {
            form->LVMaster->Rows.push_back(playertest::row("x", "00:01", platform::pathToQString(p)));
            rows.push_back(form->LVMaster->rowCount() - 1);
        }
        form->LVMaster->syncView();
        form->LVMaster->selectRows(rows);
    }
    static constexpr const char* kThird = "thr\xe9\xe5 \\ 3";
    std::vector<std::string> threeSources()
    {
        fs::create_directories(programDir.path() + "/music dir");
        std::vector<std::string> paths;
        // The third name is not UTF-8 and holds a backslash: both are plain bytes of a Linux name.
        for (const char* name : {"one", "two", kThird})
            paths.push_back(programDir.write(std::string("music dir/") + name + ".wav", toneWav(3)));
        return paths;
    }
    std::vector<std::string> outFiles() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(outDir()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<platform::RecordedUserMessages::Shown> messageBoxes() const
    {
        std::vector<platform::RecordedUserMessages::Shown> of;
        for (const auto& s : messages.shown())
            if (s.kind == "messageBox")
                of.push_back(s);
        return of;
    }
    // A shell script standing in for the encoder.
    std::string script(const std::string& name, const std::string& body)
    {
        const std::string path = programDir.write(name, "#!/bin/sh\n" + body + "\n");
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    struct Seen {
        int number;
        qint64 wParam;
        qint64 lParam;
        QString caption;
        QString preset;
    };
    ProgressWindows windows;
    std::vector<Seen> reports;
    std::function<void(TProgFrm&, qint64)> onReport;
};

}  // namespace

TEST_F(Encoding, ThreeSelectedFilesAreEncodedInOrderAndDecodeAgain)
{
    const std::vector<std::string> sources = threeSources();
    selectFiles(sources);
    form->N52->trigger();

    EXPECT_EQ(outFiles(), (std::vector<std::string>{"one.mp3", std::string(kThird) + ".mp3", "two.mp3"}));
    for (const char* name : {"one", "two", kThird}) {
        int error = 0;
        auto decoded = audiolib::FfmpegSource::open(outDir() + "/" + name + ".mp3", &error);
        ASSERT_NE(decoded, nullptr) << name;
        EXPECT_NEAR(static_cast<double>(decoded->lengthFrames()), 3 * 44100, 3000) << name;
    }
    ASSERT_FALSE(reports.empty());
    int number = 0;
    for (const Seen& r : reports) {
        EXPECT_GE(r.number, number) << "one file after the other";
        number = r.number;
        EXPECT_EQ(r.caption, QStringLiteral("Encoding file %1 of 3...").arg(r.number));
        EXPECT_EQ(r.preset, "MP3 192 kbit/s");
    }
    for (int n = 1; n <= 3; ++n) {
        const auto ends = std::count_if(reports.begin(), reports.end(),
                                        [n](const Seen& r) { return r.number == n && r.wParam == 2; });
        EXPECT_EQ(ends, 1) << "file " << n;
    }
    EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(Encoding, RowsThatAreNoFilesAreLeftOut)
{
    const std::vector<std::string> sources = threeSources();
    selectFiles({sources[0], "/Music/Line.IN", "/dev/cdrom/Track01.cda", sources[1]});
    controls::TVirtualItem list = playertest::row("list", "", QString::fromStdString(sources[2]));
    list.SubItems[0] = QStringLiteral("PLAYLIST");
    form->LVMaster->Rows.push_back(list);
    form->LVMaster->syncView();
    form->LVMaster->selectRows({0, 1, 2, 3, 4});
    EXPECT_EQ(EncodableFiles(*form->LVMaster, {0, 1, 2, 3, 4}), (std::vector<std::string>{sources[0], sources[1]}));
    form->N52->trigger();
    EXPECT_EQ(outFiles(), (std::vector<std::string>{"one.mp3", "two.mp3"}));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().caption, "Encoding file 2 of 2...");

    // Nothing selected: nothing starts.
    reports.clear();
    form->LVMaster->selectRows({});
    form->N52->trigger();
    EXPECT_TRUE(reports.empty());
}

TEST_F(Encoding, ClosingTheWindowDuringTheSecondFileStopsTheRunWithoutAPart)
{
    selectFiles(threeSources());
    bool closed = false;
    onReport = [&](TProgFrm& w, qint64 wParam) {
        if (w.Number == 2 && wParam == 1 && !closed) {
            closed = true;
            w.close();
            EXPECT_TRUE(w.isVisible()) << "the close is refused until the encoder has stopped";
            EXPECT_EQ(w.windowTitle(), "Encoding file 2 of 3... [terminating]");
        }
    };
    form->N52->trigger();
    EXPECT_TRUE(closed);
    EXPECT_EQ(outFiles(), std::vector<std::string>{"one.mp3"}) << "no part of the second, no third";
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().number, 2);
    EXPECT_EQ(reports.back().wParam, 2);
    EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(Encoding, AnEncoderThatDiesEndsItsFileAndTheRunGoesOn)
{
    const std::vector<std::string> sources = threeSources();
    selectFiles(sources);
    onReport = [&](TProgFrm& w, qint64 wParam) {
        if (w.Number == 2 && wParam == 1 && w.encoderProcess() != nullptr)
            ::kill(static_cast<pid_t>(w.encoderProcess()->processId()), SIGKILL);
    };
    form->N52->trigger();
    const std::vector<std::string> out = outFiles();
    EXPECT_TRUE(std::count(out.begin(), out.end(), "one.mp3") == 1 && std::count(out.begin(), out.end(), std::string(kThird) + ".mp3") == 1);
    EXPECT_EQ(std::count(out.begin(), out.end(), "two.mp3"), 0);
    const auto shown = messageBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find(sources[1] + " (сигнал 9"), std::string::npos) << shown[0].text;
    EXPECT_EQ(shown[0].text.find(sources[0]), std::string::npos);
}

TEST_F(Encoding, AnEncoderThatCannotStartEndsTheRunWithOneMessage)
{
    selectFiles(threeSources());
    form->EncoderProgram = programDir.path() + "/no-encoder-here";
    form->N52->trigger();
    EXPECT_TRUE(reports.empty());
    ASSERT_EQ(messageBoxes().size(), 1u);
    EXPECT_NE(messageBoxes()[0].text.find("no-encoder-here (No such file or directory)"), std::string::npos)
        << messageBoxes()[0].text;
    EXPECT_TRUE(outFiles().empty());
}

TEST_F(Encoding, TheCommandLineHoldsEachPartAsOneArgument)
{
    const std::vector<std::string> sources = threeSources();
    selectFiles({sources[0]});
    form->Encoder.Ext = ".my ext";
    form->Encoder.Command = "lame --preset 192";
    const std::string args = programDir.path() + "/args.txt";
    form->EncoderProgram = script("fake encoder", "for a in \"$@\"; do echo \"$a\" >> \"" + args + "\"; done; exit 3");
    form->N52->trigger();
    std::ifstream in(args);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_GT(std::stoul(lines[0]), 0u);
    EXPECT_EQ(lines[1], sources[0]);
    EXPECT_EQ(lines[2], outDir());
    EXPECT_EQ(lines[3], ".my ext");
    EXPECT_EQ(lines[4], "plugins\\lame --preset 192");
    // It ended without its report: named once at the end.
    ASSERT_EQ(messageBoxes().size(), 1u);
    EXPECT_NE(messageBoxes()[0].text.find(sources[0]), std::string::npos);
}

TEST_F(Encoding, TheSettingsComeFirstOnTheirEncoderPageWhenAsked)
{
    selectFiles(threeSources());
    form->Encoder.ShowParam = true;
    whenShown<TfrmSettings>([](TfrmSettings& d) {
        EXPECT_EQ(d.PageControl1->currentWidget(), d.TabSheet4);
        d.Button3->click();
    });
    form->N52->trigger();
    EXPECT_TRUE(reports.empty()) << "Cancel ends the command";
    EXPECT_TRUE(outFiles().empty());

    const std::string other = programDir.path() + "/other out";
    fs::create_directories(other);
    whenShown<TfrmSettings>([&](TfrmSettings& d) {
        d.edto->setText(QString::fromStdString(other));
        d.prscomm->setText("wav.cfg");
        d.prsext->setText("wav");
        d.Button1->click();
    });
    form->N52->trigger();
    EXPECT_EQ(form->Encoder.OutDir, other);
    EXPECT_EQ(fs::exists(other + "/one.wav") + fs::exists(other + "/two.wav") + fs::exists(other + "/" + kThird + ".wav"), 3);
}

TEST_F(Encoding, TheProgressWindowsAnswers)
{
    TProgFrm w(form.get());
    w.Number = 1;
    w.Total = 2;
    EXPECT_EQ(w.ProgressBar1->maximum(), 10);
    // A step before the count moves the bar against the default maximum.
    EXPECT_EQ(platform::sendMessage(w.handle(), platform::UM_ENCODER_PROGRESS, 1, 7), 0);
    EXPECT_EQ(w.ProgressBar1->value(), 7);
    EXPECT_EQ(platform::sendMessage(w.handle(), platform::UM_ENCODER_PROGRESS, 0, 200), 0);
    EXPECT_EQ(w.ProgressBar1->maximum(), 200);
    EXPECT_EQ(platform::sendMessage(w.handle(), platform::UM_ENCODER_PROGRESS, 9, 0), 0);
    w.FormClose();
    EXPECT_EQ(w.windowTitle(), "Encoding file 1 of 2... [terminating]");
    EXPECT_EQ(platform::sendMessage(w.handle(), platform::UM_ENCODER_PROGRESS, 1, 50), 1);
    EXPECT_EQ(w.Finished, 0);
    EXPECT_EQ(platform::sendMessage(w.handle(), platform::UM_ENCODER_PROGRESS, 2, 0), 0);
    EXPECT_EQ(w.Finished, 1);
}

TEST_F(Encoding, ASecondCloseEndsAnEncoderThatDoesNotListen)
{
    selectFiles(threeSources());
    form->EncoderProgram = script("deaf encoder", "trap '' INT; exec sleep 30");
    int closes = 0;
    whenShown<TProgFrm>([&](TProgFrm& w) {
        w.close();
        ++closes;
        EXPECT_TRUE(w.isVisible());
        w.close();
        ++closes;
    });
    QElapsedTimer timer;
    timer.start();
    form->N52->trigger();
    EXPECT_EQ(closes, 2);
    EXPECT_LT(timer.elapsed(), 10000);
    ASSERT_EQ(messageBoxes().size(), 1u) << "the stopped file is named";
}
