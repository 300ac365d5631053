// TMainMenuXP: a window's menu bar whose items are all drawn by MenuXPPainter, through a proxy
// style set on the bar and on every drop-down menu below it, at any depth.
#pragma once

#include <QMenuBar>
#include <QProxyStyle>

#include <memory>

namespace controls {

class MenuXPStyle : public QProxyStyle {
    Q_OBJECT
public:
    MenuXPStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;

    // Bits per pixel of the screen; below 9 the selection uses the caption colours.
    int colorBits = 32;
};

class TMainMenuXP : public QMenuBar {
    Q_OBJECT
public:
    explicit TMainMenuXP(QWidget* parent = nullptr);
    ~TMainMenuXP() override;

    MenuXPStyle* xpStyle() const { return m_style.get(); }
    // Gives every drop-down menu below the bar the drawn look (run on every change of the menu).
    void HookItems();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void actionEvent(QActionEvent* event) override;

private:
    void HookSubItems(QMenu* menu);

    std::unique_ptr<MenuXPStyle> m_style;
};

}  // namespace controls
