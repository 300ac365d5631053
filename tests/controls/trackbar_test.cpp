// Track bars: value/position conversions with halves to even, the value label, the order of the
// value events, label placement and the mouse events after the slider's own handling.
#include "controls/lbar.h"
#include "controls/lbarscale.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

using controls::LBarScale;
using controls::TLBar;
using controls::TTBar;

class LBarScaleTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(LBarScaleTest, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(LBarScale::toPosition(0.5L, 1), 0);
    EXPECT_EQ(LBarScale::toPosition(1.5L, 1), 2);
    EXPECT_EQ(LBarScale::toPosition(2.5L, 1), 2);
    EXPECT_EQ(LBarScale::toPosition(-2.5L, 1), -2);
    EXPECT_EQ(LBarScale::toPosition(2.25L, 10), 22);
    EXPECT_EQ(LBarScale::toPosition(2.35L, 10), 24);  // 23.5 in extended precision is just above
    EXPECT_EQ(LBarScale::toPosition(1.1f, 10), 11);
}

TEST_F(LBarScaleTest, FactorAndOutOfRangeInputs)
{
    EXPECT_EQ(LBarScale::factorFor(0), 1);
    EXPECT_EQ(LBarScale::factorFor(3), 1000);
    EXPECT_EQ(LBarScale::factorFor(-2), 1);
    EXPECT_EQ(LBarScale::factorFor(40), 1000000000);
    EXPECT_EQ(LBarScale::toPosition(1e30L, 1000), INT_MAX);
    EXPECT_EQ(LBarScale::toPosition(-1e30L, 1000), INT_MIN);
    EXPECT_EQ(LBarScale::toPosition(std::numeric_limits<long double>::quiet_NaN(), 10), 0);
    EXPECT_EQ(LBarScale::valueOf(7, 0, 42), 42);  // before a precision is set: the maximum
}

TEST_F(LBarScaleTest, LabelTexts)
{
    EXPECT_EQ(LBarScale::labelText(-12, 0, "dB"), "-12 dB");
    EXPECT_EQ(LBarScale::labelText(0.25f, 3, ""), "0.250 ");
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(LBarScale::labelText(2.5f, 1, "s"), "2,5 s");
    QLocale::setDefault(QLocale::c());
}

class LBarTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    QWidget form;
};

TEST_F(LBarTest, RangeFromPrecAndValuesFollowThePosition)
{
    auto* bar = new TLBar(&form);
    bar->setMinValue(1.1f);
    bar->setMaxValue(3.1f);
    bar->setUnit("Hz");
    bar->setPrec(1);
    EXPECT_EQ(bar->minimum(), 11);
    EXPECT_EQ(bar->maximum(), 31);
    bar->setValue(20);
    EXPECT_FLOAT_EQ(bar->Value(), 2.0f);
    EXPECT_EQ(bar->valueLabel()->text(), "2.0 Hz");
}

TEST_F(LBarTest, SetValueClampsOnlyBelowAndFiresOnceOrTwice)
{
    auto* bar = new TLBar(&form);
    bar->setPrec(1);
    bar->setMinValue(0);
    bar->setMaxValue(10);
    bar->Loaded();
    int events = 0;
    bar->OnValueChange = [&](QObject* sender) {
        EXPECT_EQ(sender, bar);
        ++events;
    };
    bar->SetValue(-3);
    EXPECT_FLOAT_EQ(bar->Value(), 0);
    EXPECT_EQ(events, 1);  // position 0 already: no update, one event
    EXPECT_EQ(bar->valueLabel()->text(), "0.0 ");

    events = 0;
    bar->SetValue(2.5f);
    EXPECT_EQ(bar->value(), 25);
    EXPECT_EQ(bar->valueLabel()->text(), "2.5 ");
    EXPECT_EQ(events, 2);

    bar->SetValue(50);  // not clamped by the value; the slider's range limits the thumb
    EXPECT_EQ(bar->value(), 100);
    EXPECT_FLOAT_EQ(bar->Value(), 10);
}

TEST_F(LBarTest, LabelsSitBesideTheBar)
{
    auto* bar = new TLBar(&form);
    form.resize(400, 100);
    form.show();
    bar->setCaption("Gain");
    bar->setLabelSpacing(6);
    bar->setGeometry(100, 40, 120, 20);
    QLabel* caption = bar->captionLabel();
    QLabel* value = bar->valueLabel();
    EXPECT_EQ(caption->parentWidget(), &form);
    EXPECT_EQ(caption->geometry().right() + 1, 100 - 6);
    EXPECT_EQ(value->x(), 100 + 120 + 6);
    EXPECT_EQ(caption->y(), 40 + 10 - caption->height() / 2);
    bar->setCaption("A much longer caption");
    EXPECT_EQ(caption->geometry().right() + 1, 94);  // keeps its right edge
}

TEST(TTBarTest, MouseEventsFireAfterTheSlidersOwnHandling)
{
    TTBar bar;
    bar.setRange(0, 100);
    bar.resize(200, 24);
    std::vector<std::string> seen;
    bar.OnMouseDown = [&](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        EXPECT_EQ(b, Qt::LeftButton);
        EXPECT_EQ(x, 150);
        EXPECT_EQ(y, 12);
        seen.push_back("down");
    };
    bar.OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { seen.push_back("up"); };
    bar.OnMouseRight = [&](QObject* sender) {
        EXPECT_EQ(sender, &bar);
        seen.push_back("right");
    };
    const QPointF at(150, 12);
    QMouseEvent press(QEvent::MouseButtonPress, at, bar.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::ShiftModifier);
    QApplication::sendEvent(&bar, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, bar.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&bar, &release);
    QMouseEvent right(QEvent::MouseButtonPress, at, bar.mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&bar, &right);
    EXPECT_EQ(seen, (std::vector<std::string>{"down", "up", "right"}));
}

TEST(TTBarTest, VerticalBarsHaveTheirMinimumAtTheTop)
{
    TTBar bar(Qt::Vertical);
    EXPECT_TRUE(bar.invertedAppearance());
    bar.setOrientation(Qt::Horizontal);
    EXPECT_FALSE(bar.invertedAppearance());
}
