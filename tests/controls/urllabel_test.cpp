// Link label: the look, the hand cursor while the mouse is over it, and the click that asks the
// desktop to open the address before the owner's own click handler runs.
#include "controls/vqurllabel.h"

#include "urlcatcher.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

using controls::TVqURLLabel;

TEST(URLLabelTest, LooksLikeALinkAndShowsTheHandOverIt)
{
    TVqURLLabel label;
    label.setText("Site");
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 0, 128));
    label.setCursor(Qt::IBeamCursor);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&label, &enter);
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&label, &leave);
    EXPECT_EQ(label.cursor().shape(), Qt::IBeamCursor);
}

TEST(URLLabelTest, ClickOpensTheAddressThenCallsTheHandler)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("qvtest", &catcher, "open");
    TVqURLLabel label;
    label.resize(80, 20);
    label.URL = "qvtest://about/page";
    std::vector<size_t> openedWhenClicked;
    label.OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, &label);
        openedWhenClicked.push_back(catcher.opened.size());
    };
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), label.mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&label, &release);
    ASSERT_EQ(catcher.opened.size(), 1u);
    EXPECT_EQ(catcher.opened[0], QUrl("qvtest://about/page"));
    EXPECT_EQ(openedWhenClicked, std::vector<size_t>{1});

    label.URL.clear();  // still asks, and still calls the handler
    label.Click();
    EXPECT_EQ(openedWhenClicked.size(), 2u);
    QDesktopServices::unsetUrlHandler("qvtest");
}
