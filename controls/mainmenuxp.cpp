// The drawn menu's style and the menu bar that hands it to every drop-down menu.
#include "controls/mainmenuxp.h"

#include "controls/menuxppainter.h"
#include "controls/syscolors.h"

#include <QActionEvent>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace controls {

namespace {

MenuItemInfo itemInfo(const QStyleOptionMenuItem& option)
{
    MenuItemInfo info;
    const int tab = static_cast<int>(option.text.indexOf('\t'));
    info.caption = tab >= 0 ? option.text.left(tab) : option.text;
    info.shortcut = tab >= 0 ? option.text.mid(tab + 1) : QString();
    info.separator = option.menuItemType == QStyleOptionMenuItem::Separator;
    info.checked = option.checkType != QStyleOptionMenuItem::NotCheckable && option.checked;
    info.enabled = option.state & QStyle::State_Enabled;
    info.selected = option.state & QStyle::State_Selected;
    if (!option.icon.isNull())
        info.bitmap = option.icon.pixmap(16, 16).toImage();
    return info;
}

}  // namespace

MenuXPStyle::MenuXPStyle() : QProxyStyle() {}

void MenuXPStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const
{
    const auto* menuOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const MenuXPPainter itemPainter(colorBits);
    if (element == CE_MenuItem && menuOption) {
        itemPainter.DrawSubItem(*painter, gdi::WinRect::fromQRect(option->rect), itemInfo(*menuOption));
        return;
    }
    if (element == CE_MenuBarItem && menuOption) {
        itemPainter.DrawTopItem(*painter, gdi::WinRect::fromQRect(option->rect), itemInfo(*menuOption));
        return;
    }
    if (element == CE_MenuBarEmptyArea) {
        gdi::fillRect(*painter, gdi::WinRect::fromQRect(option->rect), sysColor(SysColor::BtnFace));
        return;
    }
    if (element == CE_MenuEmptyArea) {
        gdi::fillRect(*painter, gdi::WinRect::fromQRect(option->rect), QColor(255, 255, 255));
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void MenuXPStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    if (element == PE_PanelMenu) {
        gdi::fillRect(*painter, gdi::WinRect::fromQRect(option->rect), QColor(255, 255, 255));
        QProxyStyle::drawPrimitive(PE_FrameMenu, option, painter, widget);
        return;
    }
    if (element == PE_PanelMenuBar) {
        gdi::fillRect(*painter, gdi::WinRect::fromQRect(option->rect), sysColor(SysColor::BtnFace));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize MenuXPStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                    const QWidget* widget) const
{
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    // MeasureItem: drop-down items are wider than measured; top-level items keep their size.
    if (type == CT_MenuItem)
        s.rwidth() += MenuXPPainter::kExtraWidth;
    return s;
}

TMainMenuXP::TMainMenuXP(QWidget* parent) : QMenuBar(parent), m_style(std::make_unique<MenuXPStyle>())
{
    // A desktop's global menu bar would draw the items itself.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    setNativeMenuBar(false);
    m_style->colorBits = screenColorBits();
    setStyle(m_style.get());
}

TMainMenuXP::~TMainMenuXP()
{
    // The menus below may outlive this bar for a moment; they fall back to the application style.
    const QList<QMenu*> menus = findChildren<QMenu*>();
    for (QMenu* menu : menus)
        if (menu->style() == m_style.get())
            menu->setStyle(nullptr);
    setStyle(nullptr);
}

void TMainMenuXP::HookItems()
{
    for (QAction* action : actions())
        if (QMenu* menu = action->menu())
            HookSubItems(menu);
}

void TMainMenuXP::HookSubItems(QMenu* menu)
{
    if (menu->style() != m_style.get()) {
        menu->setStyle(m_style.get());
        menu->installEventFilter(this);
    }
    for (QAction* action : menu->actions())
        if (QMenu* sub = action->menu())
            HookSubItems(sub);
}

void TMainMenuXP::actionEvent(QActionEvent* event)
{
    QMenuBar::actionEvent(event);
    if (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionChanged)
        HookItems();
}

bool TMainMenuXP::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionChanged)
        if (auto* menu = qobject_cast<QMenu*>(watched))
            HookSubItems(menu);
    return QMenuBar::eventFilter(watched, event);
}

}  // namespace controls
