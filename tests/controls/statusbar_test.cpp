// Status bar: panel layout with and without a spring, hit testing (gaps, invisible panels), the
// panel events, and the exact pixels of the borders and fills of a rendered bar.
#include "controls/vtqstatusbar.h"

#include "controls/syscolors.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using controls::StatusLayout;
using controls::StatusPanelMetrics;
using controls::TvtqStatusBar;
using controls::TvtqStatusPanel;
using controls::gdi::WinRect;
using namespace controls;

namespace {

StatusPanelMetrics panel(int width, bool spring = false, bool visible = true)
{
    StatusPanelMetrics m;
    m.width = width;
    m.spring = spring;
    m.visible = visible;
    return m;
}

constexpr int kV = 17;
const WinRect kClient{0, 0, 400, 19};

}  // namespace

TEST(StatusLayoutTest, SpringTakesTheSpareWidthAndTheLastPanelKeepsRoomForTheGrip)
{
    const auto r = StatusLayout::layout({panel(100, true), panel(60), panel(40)}, kClient, kV);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0], (WinRect{0, 2, 281, 19}));   // 100 + 183 spare, less the 2-pixel gap
    EXPECT_EQ(r[1], (WinRect{283, 2, 341, 19}));
    EXPECT_EQ(r[2], (WinRect{343, 2, 400, 19}));  // 40 + the grip's 17
}

TEST(StatusLayoutTest, WithoutASpringTheLastPanelGrowsEvenWhenInvisible)
{
    const auto visibleLast = StatusLayout::layout({panel(100), panel(60)}, kClient, kV);
    EXPECT_EQ(visibleLast[1], (WinRect{100, 2, 400, 19}));

    const std::vector<StatusPanelMetrics> panels{panel(100), panel(60), panel(40, false, false)};
    const auto r = StatusLayout::layout(panels, kClient, kV);
    EXPECT_EQ(r[0].right, 98);
    EXPECT_EQ(r[1], (WinRect{100, 2, 158, 19}));
    EXPECT_EQ(r[2], (WinRect{160, 2, 400, 19}));  // the surplus, unseen
    // The unseen panel takes no clicks.
    EXPECT_EQ(StatusLayout::hitTest(panels, r, {300, 10}), -1);
    EXPECT_EQ(StatusLayout::hitTest(panels, r, {120, 10}), 1);
}

TEST(StatusLayoutTest, AnInvisibleSpringDoesNotGrow)
{
    const auto r = StatusLayout::layout({panel(100, true, false), panel(60)}, kClient, kV);
    EXPECT_EQ(r[1], (WinRect{0, 2, 400, 19}));
}

TEST(StatusLayoutTest, OnePanelGetsNoGripRoomAndWidePanelsDoNotGrow)
{
    const auto one = StatusLayout::layout({panel(500)}, kClient, kV);
    EXPECT_EQ(one[0], (WinRect{0, 2, 500, 19}));
    const auto wide = StatusLayout::layout({panel(300, true), panel(200)}, kClient, kV);
    EXPECT_EQ(wide[0].right, 298);
    EXPECT_EQ(wide[1].right, 517);
    EXPECT_TRUE(StatusLayout::layout({}, kClient, kV).empty());
}

TEST(StatusLayoutTest, GapsAndEdgesOfTheHitTest)
{
    const std::vector<StatusPanelMetrics> panels{panel(100), panel(60)};
    const auto r = StatusLayout::layout(panels, kClient, kV);
    EXPECT_EQ(StatusLayout::hitTest(panels, r, {97, 10}), 0);
    EXPECT_EQ(StatusLayout::hitTest(panels, r, {98, 10}), -1);
    EXPECT_EQ(StatusLayout::hitTest(panels, r, {99, 10}), -1);
    EXPECT_EQ(StatusLayout::hitTest(panels, r, {100, 10}), 1);
    EXPECT_EQ(StatusLayout::hitTest(panels, r, {50, 1}), -1);  // above the panels
}

class StatusBarTest : public ::testing::Test {
protected:
    StatusBarTest()
    {
        bar.resize(300, 19);
        bar.setSizeGrip(false);
    }
    TvtqStatusBar bar;
};

TEST_F(StatusBarTest, SpringMovesAndFitToContentMeasuresTheText)
{
    TvtqStatusPanel* a = bar.Panels().Add();
    TvtqStatusPanel* b = bar.Panels().Add();
    a->setSpring(true);
    b->setSpring(true);
    EXPECT_FALSE(a->Spring());
    EXPECT_TRUE(b->Spring());

    b->setText("mem");
    b->setImageIndex(42);
    b->setFitToContent(true);
    const int textWidth = QFontMetrics(bar.drawingFont()).horizontalAdvance("mem");
    EXPECT_EQ(b->FitWidth(), textWidth + 28);
    b->setImageIndex(-1);
    EXPECT_EQ(b->FitWidth(), textWidth + 12);
}

TEST_F(StatusBarTest, ClicksAndHintsGoToThePanelUnderTheMouse)
{
    TvtqStatusPanel* a = bar.Panels().Add();
    a->setWidth(100);
    TvtqStatusPanel* b = bar.Panels().Add();
    b->setWidth(60);
    TvtqStatusPanel* hidden = bar.Panels().Add();
    hidden->setVisible(false);
    std::vector<TvtqStatusPanel*> clicked;
    for (TvtqStatusPanel* p : {a, b, hidden}) {
        p->OnClick = [&](TvtqStatusPanel* sender) { clicked.push_back(sender); };
        p->Hint = "hint";
    }
    bar.OnClick = [&](QObject*) { clicked.push_back(nullptr); };
    a->Hint = "CPU load";
    int hintEvents = 0;
    a->OnHint = [&](TvtqStatusPanel*) { ++hintEvents; };

    bar.clickAt({10, 10});
    bar.clickAt({99, 10});   // the gap
    bar.clickAt({250, 10});  // the invisible last panel's unseen width
    bar.clickAt({120, 10});
    EXPECT_EQ(clicked, (std::vector<TvtqStatusPanel*>{a, b}));

    QRect area;
    EXPECT_EQ(bar.hintAt({10, 10}, &area), "CPU load");
    EXPECT_EQ(area, QRect(0, 2, 98, 17));
    EXPECT_EQ(hintEvents, 1);
    bar.setToolTip("bar");
    EXPECT_EQ(bar.hintAt({250, 10}), "bar");

    bar.setSimplePanel(true);
    clicked.clear();
    bar.clickAt({10, 10});
    EXPECT_EQ(clicked, (std::vector<TvtqStatusPanel*>{nullptr}));
}

TEST_F(StatusBarTest, BordersAndFillsLandOnTheirPixels)
{
    const QColor shadow(10, 20, 30), light(200, 210, 220), back(90, 90, 160), flat(250, 0, 0), barColor(5, 5, 5);
    bar.setColor(barColor);
    TvtqStatusPanel* sunken = bar.Panels().Add();
    sunken->setWidth(100);
    sunken->Colors().setBorderShadowColor(shadow);
    sunken->Colors().setBorderHighLightColor(light);
    sunken->Colors().setBackColor(back);
    TvtqStatusPanel* framed = bar.Panels().Add();
    framed->setSpring(true);
    framed->setBevel(controls::pbsFlatBorder);
    framed->Colors().setFlatBorderColor(flat);
    framed->Colors().setBackColor(back);

    const QImage img = bar.renderFrame();
    auto at = [&img](int x, int y) { return QColor(img.pixel(x, y)); };
    EXPECT_EQ(at(50, 0), barColor);
    EXPECT_EQ(at(50, 1), barColor);
    EXPECT_EQ(at(0, 2), shadow);
    EXPECT_EQ(at(96, 2), shadow);
    EXPECT_EQ(at(97, 2), light);  // the bottom-right line starts on the top row
    EXPECT_EQ(at(0, 17), shadow);
    EXPECT_EQ(at(0, 18), light);
    EXPECT_EQ(at(50, 18), light);
    EXPECT_EQ(at(97, 10), light);
    EXPECT_EQ(at(1, 3), back);
    EXPECT_EQ(at(96, 17), back);
    EXPECT_EQ(at(98, 10), barColor);  // the gap
    EXPECT_EQ(at(99, 10), barColor);
    EXPECT_EQ(at(100, 2), flat);
    EXPECT_EQ(at(299, 18), flat);
    EXPECT_EQ(at(200, 18), flat);
    EXPECT_EQ(at(101, 3), back);
    EXPECT_EQ(at(298, 17), back);
}

TEST_F(StatusBarTest, OwnerDrawnAndCutPanels)
{
    bar.setColor(QColor(5, 5, 5));
    TvtqStatusPanel* first = bar.Panels().Add();
    first->setWidth(100);
    first->setStyle(controls::pdsOwnerDraw);
    TvtqStatusPanel* wide = bar.Panels().Add();
    wide->setWidth(250);
    wide->Colors().setBackColor(QColor(0, 200, 0));
    TvtqStatusPanel* after = bar.Panels().Add();
    after->setStyle(controls::pdsOwnerDraw);
    std::vector<std::pair<TvtqStatusPanel*, QRect>> drawn;
    bar.OnDrawPanel = [&](TvtqStatusBar*, QPainter&, TvtqStatusPanel* p, const QRect& r) { drawn.push_back({p, r}); };

    const QImage img = bar.renderFrame();
    ASSERT_EQ(drawn.size(), 1u);  // the panel after the cut one is not drawn
    EXPECT_EQ(drawn[0].first, first);
    EXPECT_EQ(drawn[0].second, QRect(0, 2, 98, 17));
    EXPECT_EQ(QColor(img.pixel(0, 2)), QColor(5, 5, 5));   // no border for the owner-drawn one
    EXPECT_EQ(QColor(img.pixel(298, 10)), QColor(0, 200, 0));  // cut at the edge, inside filled
}
