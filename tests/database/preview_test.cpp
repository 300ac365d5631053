// Preview playback on the "no sound" device under the manual clock: the buttons and the selection,
// pause and resume, the end of a track, seeking on the bar, the volume and the output types, with
// the mix measured where it matters.
#include "audiolib/audiolib.h"
#include "controls/tbar.h"
#include "database/previewmath.h"
#include "engine/audioengine.h"
#include "mainwindowfixture.h"

#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include <cmath>

using namespace database;
using dbtest::MainWindowTest;

namespace {

TEST(PreviewMathTest, SeekTargetIsTakenInWholePercentsOfTheBarIn64Bits)
{
    EXPECT_EQ(previewSeekTargetMs(0, 200, 180000), 0);
    EXPECT_EQ(previewSeekTargetMs(100, 200, 180000), 90000);
    EXPECT_EQ(previewSeekTargetMs(101, 200, 180000), 90000);  // 50 percent, not 50.5
    EXPECT_EQ(previewSeekTargetMs(103, 200, 180000), 91800);
    EXPECT_EQ(previewSeekTargetMs(200, 200, 180000), 180000);
    // Held to the bar, and safe without a bar or a length.
    EXPECT_EQ(previewSeekTargetMs(-30, 200, 180000), 0);
    EXPECT_EQ(previewSeekTargetMs(900, 200, 180000), 180000);
    EXPECT_EQ(previewSeekTargetMs(10, 0, 180000), -1);
    EXPECT_EQ(previewSeekTargetMs(10, 200, 0), -1);
    // A long track: percent x length does not fit 32 bits.
    EXPECT_EQ(previewSeekTargetMs(199, 200, 2000000000), 1980000000);
    EXPECT_EQ(previewPercent(1999999999, 2000000000), 99);
    EXPECT_EQ(previewPercent(-5, 1000), 0);
    EXPECT_EQ(previewPositionText(61000, 3723000), "01:01/62:03");
}

class PreviewTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // A fresh device number per test, so the manual clock applies to it.
        static int device = 40;
        dbtest::writeAll(path("system.ini"), "[Device]\nMainDev=" + std::to_string(++device) + "\n");
        audiolib::setManualClock(true);
        for (int i = 0; i < 3; ++i)
            dbtest::writeToneWav(path("t" + std::to_string(i) + ".wav"), 1.0 + i * 0.5);
        w = std::make_unique<TBase_main_window>(std::vector<std::string>{
            makeBaseOf("b.dfs", {{.title = "A", .fileName = path("t0.wav")},
                                 {.title = "B", .fileName = path("t1.wav")},
                                 {.title = "C", .fileName = path("t2.wav")}})});
        w->show();
        QCoreApplication::processEvents();
        deck = w->previewDeck();
        ASSERT_NE(deck, nullptr);
    }
    void TearDown() override
    {
        w->SpeedButton1Click(2);
        w->close();
        w.reset();
        audiolib::setManualClock(false);
        MainWindowTest::TearDown();
    }
    // Advances the preview's device; returns the peak of each channel of the mix.
    std::pair<float, float> play(double seconds)
    {
        const auto frames = static_cast<std::uint32_t>(seconds * 44100);
        std::vector<float> mix(static_cast<std::size_t>(frames) * 2);
        audiolib::setDevice(deck->Device);
        audiolib::advance(frames, mix.data());
        QCoreApplication::processEvents();
        float left = 0, right = 0;
        for (std::size_t i = 0; i + 1 < mix.size(); i += 2) {
            left = std::max(left, std::abs(mix[i]));
            right = std::max(right, std::abs(mix[i + 1]));
        }
        return {left, right};
    }
    void mouse(QEvent::Type type, int x)
    {
        QMouseEvent e(type, QPointF(x, 2), w->ProgressBar1->mapToGlobal(QPointF(x, 2)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w->ProgressBar1, &e);
    }

    std::unique_ptr<TBase_main_window> w;
    engine::TAudioEngine* deck = nullptr;
};

TEST_F(PreviewTest, ButtonsFollowTheSelectionAndNextMovesOnlyTheFirstSelectedRow)
{
    EXPECT_FALSE(w->SpeedButton4->isEnabled());
    selectRows(*w, {0, 1, 2});
    for (QToolButton* b : {w->SpeedButton1, w->SpeedButton2, w->SpeedButton3, w->SpeedButton4, w->SpeedButton5})
        EXPECT_TRUE(b->isEnabled());
    w->SpeedButton4->click();
    EXPECT_EQ(deck->FileName(), path("t0.wav"));
    EXPECT_EQ(deck->State(), engine::STATE_PLAY);
    EXPECT_TRUE(w->Timer1->isActive());

    w->SpeedButton5->click();  // next: the first selection moves down, the others stay
    EXPECT_EQ(deck->FileName(), path("t1.wav"));
    EXPECT_EQ(w->ListView1->selectionModel()->selectedRows().size(), 2);
    EXPECT_TRUE(w->ListView1->selectionModel()->isRowSelected(1, {}));
    EXPECT_TRUE(w->ListView1->selectionModel()->isRowSelected(2, {}));
    w->SpeedButton1->click();  // previous
    EXPECT_EQ(deck->FileName(), path("t0.wav"));
    EXPECT_TRUE(w->ListView1->selectionModel()->isRowSelected(0, {}));
    EXPECT_FALSE(w->ListView1->selectionModel()->isRowSelected(1, {}));
    const std::uint32_t start = deck->StartNumber();
    w->SpeedButton1->click();  // previous on row 0: nothing
    EXPECT_EQ(deck->StartNumber(), start);
    selectRows(*w, {2});
    w->SpeedButton5->click();  // next on the last row: nothing
    EXPECT_EQ(deck->StartNumber(), start);

    w->ListView1->clearSelection();
    EXPECT_FALSE(w->SpeedButton4->isEnabled());
    w->SpeedButton1Click(1);  // play needs a row
    EXPECT_EQ(deck->StartNumber(), start);
    w->SpeedButton1Click(2);  // stop does not
    EXPECT_EQ(deck->State(), engine::STATE_STOP);
    EXPECT_EQ(w->ProgressBar1->value(), 0);
}

TEST_F(PreviewTest, PauseResumeTheTextTheBarAndTheEnd)
{
    selectRows(*w, {0});
    w->SpeedButton4->click();
    play(0.5);
    w->Timer1Timer();
    EXPECT_EQ(w->Label19->text(), "00:00/00:01");
    EXPECT_NEAR(w->ProgressBar1->value(), 50, 2);

    w->SpeedButton3->click();  // pause
    EXPECT_EQ(deck->State(), engine::STATE_PAUSE);
    EXPECT_FALSE(w->Timer1->isActive());
    const std::int32_t paused = deck->GetPosition();
    EXPECT_LT(play(0.3).first, 1e-6f);
    EXPECT_EQ(deck->GetPosition(), paused);
    selectRows(*w, {2});  // play resumes: the selection is not read
    w->SpeedButton4->click();
    EXPECT_EQ(deck->State(), engine::STATE_PLAY);
    EXPECT_EQ(deck->FileName(), path("t0.wav"));
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_GT(play(0.1).first, 0.2f);

    play(0.6);  // past the end: the deck stops itself, nothing plays next
    ASSERT_TRUE(waitFor([&] { return deck->State() == engine::STATE_END; }));
    w->Timer1Timer();
    EXPECT_EQ(w->Label19->text(), "00:00/00:00");
    EXPECT_EQ(w->ProgressBar1->value(), 0);
    EXPECT_EQ(deck->FileName(), path("t0.wav"));
}

TEST_F(PreviewTest, DraggingOnTheBarSeeksAndEndsAnywhere)
{
    selectRows(*w, {2});  // 2 s
    w->SpeedButton4->click();
    const int width = w->ProgressBar1->width();
    ASSERT_GT(width, 0);
    mouse(QEvent::MouseMove, width / 2);  // no press yet: no seek
    EXPECT_LT(deck->GetPosition(), 100);
    mouse(QEvent::MouseButtonPress, 0);
    mouse(QEvent::MouseMove, width / 2);
    EXPECT_NEAR(deck->GetPosition(), previewSeekTargetMs(width / 2, width, deck->LengthMs), 30);
    mouse(QEvent::MouseMove, width * 4);  // dragged past the end of the bar
    EXPECT_NEAR(deck->GetPosition(), deck->LengthMs, 30);
    mouse(QEvent::MouseButtonRelease, -50);  // released outside: no seek, the drag ends
    mouse(QEvent::MouseMove, width / 4);
    EXPECT_NEAR(deck->GetPosition(), deck->LengthMs, 30);
    mouse(QEvent::MouseButtonPress, 0);
    mouse(QEvent::MouseButtonRelease, width / 4);  // a click seeks where it is let go
    EXPECT_NEAR(deck->GetPosition(), previewSeekTargetMs(width / 4, width, deck->LengthMs), 30);
}

TEST_F(PreviewTest, LeftChannelOnlyFollowsTheOutputTypeAtEveryStartAndVolumeFromTheTop)
{
    w->Options.MonType = 0;
    selectRows(*w, {0});
    w->ListView1DblClick();
    auto [left, right] = play(0.2);
    EXPECT_GT(left, 0.2f);
    EXPECT_LT(right, 1e-6f);
    w->SpeedButton5->click();  // next keeps left only
    std::tie(left, right) = play(0.2);
    EXPECT_GT(left, 0.2f);
    EXPECT_LT(right, 1e-6f);

    w->Options.MonType = 3;  // normal: the next start is heard on both sides
    w->ListView1KeyPress(13);
    std::tie(left, right) = play(0.2);
    EXPECT_GT(left, 0.2f);
    EXPECT_GT(right, 0.2f);

    // The bar's top is full volume.
    w->tbVolume->setValue(0);
    EXPECT_EQ(deck->GetStreamVolume(), 100);
    w->tbVolume->setValue(75);
    EXPECT_EQ(deck->GetStreamVolume(), 25);
    EXPECT_EQ(w->tbVolume->orientation(), Qt::Vertical);
}

}  // namespace
