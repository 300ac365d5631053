// The self-drawn status bar: panel properties, layout on every paint, the off-screen frame, and
// the mouse (panel clicks, hints, the size grip).
#include "controls/vtqstatusbar.h"

#include "controls/syscolors.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionSizeGrip>
#include <QToolTip>
#include <QWindow>

namespace controls {

// ---- colours -------------------------------------------------------------------------------

TvtqPanelColors& TvtqPanelColors::operator=(const TvtqPanelColors& other)
{
    if (this == &other)
        return *this;
    m_back = other.m_back;
    m_highlight = other.m_highlight;
    m_shadow = other.m_shadow;
    m_flat = other.m_flat;
    if (m_owner)
        m_owner->Changed();
    return *this;
}

void TvtqPanelColors::set(QColor& field, const QColor& value)
{
    if (field == value)
        return;
    field = value;
    if (m_owner)
        m_owner->Changed();
}

// ---- panel ---------------------------------------------------------------------------------

TvtqStatusPanel::TvtqStatusPanel(TvtqStatusPanels* collection) : m_collection(collection), m_colors(nullptr)
{
    m_colors.m_back = sysColor(SysColor::BtnFace);
    m_colors.m_highlight = sysColor(SysColor::BtnHighlight);
    m_colors.m_shadow = sysColor(SysColor::BtnShadow);
    m_colors.m_flat = sysColor(SysColor::BtnHighlight);
    m_colors.m_owner = this;
}

int TvtqStatusPanel::Index() const
{
    return m_collection ? m_collection->indexOf(this) : -1;
}

void TvtqStatusPanel::Changed()
{
    if (m_collection)
        m_collection->panelChanged(this);
}

void TvtqStatusPanel::setAlignment(TvtqAlignment a)
{
    m_alignment = a;
    Changed();
}

void TvtqStatusPanel::setBevel(TvtqPanelBevelStyle b)
{
    m_bevel = b;
    Changed();
}

void TvtqStatusPanel::setFitToContent(bool fit)
{
    if (fit == m_fitToContent)
        return;
    m_fitToContent = fit;
    Changed();
}

void TvtqStatusPanel::setImageIndex(int index)
{
    m_imageIndex = index;
    Changed();
}

void TvtqStatusPanel::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    Changed();
}

void TvtqStatusPanel::setSpring(bool spring)
{
    if (spring == m_spring)
        return;
    if (m_collection)
        for (int i = 0; i < m_collection->Count(); ++i)
            m_collection->Items(i)->m_spring = false;
    m_spring = spring;
    Changed();
}

void TvtqStatusPanel::setStyle(TvtqPanelDrawStyle style)
{
    m_style = style;
    Changed();
}

void TvtqStatusPanel::setVisible(bool visible)
{
    m_visible = visible;
    Changed();
}

void TvtqStatusPanel::setWidth(int width)
{
    m_width = width;
    Changed();
}

// ---- collection ----------------------------------------------------------------------------

TvtqStatusPanel* TvtqStatusPanels::Add()
{
    m_items.push_back(std::make_unique<TvtqStatusPanel>(this));
    TvtqStatusPanel* panel = m_items.back().get();
    panelChanged(panel);
    return panel;
}

TvtqStatusPanel* TvtqStatusPanels::Items(int index) const
{
    return index >= 0 && index < Count() ? m_items[static_cast<size_t>(index)].get() : nullptr;
}

void TvtqStatusPanels::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_items.erase(m_items.begin() + index);
    panelChanged(nullptr);
}

void TvtqStatusPanels::Clear()
{
    m_items.clear();
    panelChanged(nullptr);
}

void TvtqStatusPanels::EndUpdate()
{
    if (m_updating > 0 && --m_updating == 0) {
        for (auto& item : m_items)
            item->m_fitWidth = m_bar->measureFitWidth(*item);
        m_bar->repaintNow();
    }
}

int TvtqStatusPanels::indexOf(const TvtqStatusPanel* panel) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[static_cast<size_t>(i)].get() == panel)
            return i;
    return -1;
}

void TvtqStatusPanels::panelChanged(TvtqStatusPanel* panel)
{
    if (m_updating > 0)
        return;
    if (panel)
        panel->m_fitWidth = m_bar->measureFitWidth(*panel);
    m_bar->repaintNow();
}

std::vector<StatusPanelMetrics> TvtqStatusPanels::metrics() const
{
    std::vector<StatusPanelMetrics> out;
    out.reserve(m_items.size());
    for (const auto& p : m_items)
        out.push_back({p->m_visible, p->m_fitToContent, p->m_spring, p->m_width, p->m_fitWidth});
    return out;
}

void TvtqStatusPanels::Layout(const gdi::WinRect& client, int vScrollWidth)
{
    const auto rects = StatusLayout::layout(metrics(), client, vScrollWidth);
    for (size_t i = 0; i < rects.size(); ++i)
        m_items[i]->m_panelRect = rects[i];
}

// ---- bar -----------------------------------------------------------------------------------

TvtqStatusBar::TvtqStatusBar(QWidget* parent)
    : QWidget(parent), m_panels(this), m_color(sysColor(SysColor::BtnFace)), m_systemFont(menuFont())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumHeight(m_minHeight);
    resize(width(), 19);
}

void TvtqStatusBar::setImages(QList<QPixmap> images)
{
    m_images = std::move(images);
    update();
}

void TvtqStatusBar::setSizeGrip(bool on)
{
    m_sizeGrip = on;
    update();
}

void TvtqStatusBar::setSimplePanel(bool on)
{
    m_simplePanel = on;
    update();
}

void TvtqStatusBar::setSimpleText(const QString& text)
{
    m_simpleText = text;
    if (m_simplePanel)
        update();
}

void TvtqStatusBar::setUseSystemFont(bool on)
{
    m_useSystemFont = on;
    if (on) {
        m_minHeight = 19;
        setMinimumHeight(m_minHeight);
    }
    update();
}

void TvtqStatusBar::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void TvtqStatusBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_minHeight = QFontMetrics(font()).boundingRect("Xy").height() + 6;
        setMinimumHeight(m_minHeight);
        update();
    }
    QWidget::changeEvent(event);
}

int TvtqStatusBar::measureFitWidth(const TvtqStatusPanel& panel) const
{
    return StatusLayout::fitWidth(QFontMetrics(drawingFont()).horizontalAdvance(panel.Text()), panel.ImageIndex() >= 0);
}

void TvtqStatusBar::repaintNow()
{
    // A panel changed from inside a paint (an owner-draw handler) waits for the next one.
    if (m_painting)
        update();
    else if (isVisible())
        repaint();
}

bool TvtqStatusBar::gripActive() const
{
    if (!m_sizeGrip)
        return false;
    const Qt::WindowStates state = window()->windowState();
    return !(state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

void DrawPanelBevel(QPainter& p, const TvtqStatusPanel& panel, const gdi::WinRect& r)
{
    const TvtqPanelColors& c = panel.Colors();
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    switch (panel.Bevel()) {
    case pbsSunkenBorder:
        gdi::polyline(p, {{L, B}, {L, T}, {R, T}}, c.BorderShadowColor());
        gdi::polyline(p, {{R - 1, T}, {R - 1, B - 1}, {L - 1, B - 1}}, c.BorderHighLightColor());
        break;
    case pbsRaisedBorder:
        gdi::polyline(p, {{L, B}, {L, T}, {R, T}}, c.BorderHighLightColor());
        gdi::polyline(p, {{R - 1, T}, {R - 1, B - 1}, {L - 1, B - 1}}, c.BorderShadowColor());
        break;
    case pbsFlatBorder:
        gdi::frameRect(p, r, c.FlatBorderColor());
        break;
    case pbsNoBorder:
        break;
    }
}

void TvtqStatusBar::drawPanel(QPainter& p, TvtqStatusPanel& panel, gdi::WinRect r, bool last, QColor& fill)
{
    DrawPanelBevel(p, panel, r);
    const TvtqPanelColors& c = panel.Colors();
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    gdi::fillRect(p, r, c.BackColor());
    fill = c.BackColor();
    r.left += 1;
    r.right -= 1;
    if (last && m_sizeGrip)
        r.right -= vScrollBarWidth();

    p.setPen(palette().color(QPalette::WindowText));
    const int align = panel.Alignment() == taRightJustify ? Qt::AlignRight
                      : panel.Alignment() == taCenter     ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    const int image = panel.ImageIndex();
    if (image < 0 || image >= m_images.size()) {
        if (!r.isEmpty())
            p.drawText(r.toQRect(), flags | align, panel.Text());
        return;
    }
    p.save();
    p.setClipRect(r.toQRect());
    const QPixmap& pixmap = m_images[image];
    const int imageTop = r.top + (r.bottom - r.top - 16) / 2;
    const QString text = panel.Text();
    switch (panel.Alignment()) {
    case taLeftJustify:
        p.drawPixmap(r.left, imageTop, pixmap);
        if (!text.isEmpty()) {
            r.left += 20;
            p.drawText(r.toQRect(), flags | Qt::AlignLeft, text);
        }
        break;
    case taRightJustify:
        p.drawPixmap(r.right - 16, imageTop, pixmap);
        if (!text.isEmpty()) {
            r.right -= 18;
            p.drawText(r.toQRect(), flags | Qt::AlignRight, text);
        }
        break;
    case taCenter: {
        const int t = QFontMetrics(p.font()).horizontalAdvance(text) + 20;
        const int x = r.left + (r.right - r.left - t) / 2;
        p.drawPixmap(x, imageTop, pixmap);
        r.left = x + 20;
        p.drawText(r.toQRect(), flags | Qt::AlignLeft, text);
        break;
    }
    }
    p.restore();
}

QImage TvtqStatusBar::renderFrame()
{
    m_painting = true;
    const auto done = qScopeGuard([this] { m_painting = false; });
    QImage frame(size(), QImage::Format_RGB32);
    frame.fill(m_color);
    QPainter p(&frame);
    const gdi::WinRect client{0, 0, width(), height()};
    const int v = vScrollBarWidth();
    m_panels.Layout(client, v);
    p.setFont(drawingFont());
    QColor fill = m_color;
    if (m_simplePanel) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(client.toQRect(), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, m_simpleText);
    } else {
        const int n = m_panels.Count();
        for (int i = 0; i < n; ++i) {
            TvtqStatusPanel& panel = *m_panels.Items(i);
            gdi::WinRect r = panel.PanelRect();
            const bool cut = r.right > client.right;
            if (cut)
                r.right = client.right;
            if (panel.Visible()) {
                if (panel.Style() == pdsOwnerDraw) {
                    if (OnDrawPanel)
                        OnDrawPanel(this, p, &panel, panel.PanelRect().toQRect());
                } else {
                    drawPanel(p, panel, r, i == n - 1, fill);
                }
            }
            if (cut)
                break;
        }
    }
    if (gripActive()) {
        const int h = hScrollBarHeight();
        const gdi::WinRect g{client.right - v, client.bottom - h, client.right, client.bottom};
        p.save();
        p.setClipRect(gdi::WinRect{g.left + 3, g.top + 3, g.right, g.bottom}.toQRect());
        gdi::fillRect(p, g, fill);
        QStyleOptionSizeGrip option;
        option.initFrom(this);
        option.rect = gdi::WinRect{g.left - 1, g.top - 1, g.right - 1, g.bottom - 1}.toQRect();
        option.corner = Qt::BottomRightCorner;
        style()->drawControl(QStyle::CE_SizeGrip, &option, &p, this);
        p.restore();
    }
    return frame;
}

void TvtqStatusBar::paintEvent(QPaintEvent*)
{
    const QImage frame = renderFrame();
    QPainter p(this);
    p.drawImage(0, 0, frame);
}

TvtqStatusPanel* TvtqStatusBar::panelAt(QPoint point)
{
    m_panels.Layout({0, 0, width(), height()}, vScrollBarWidth());
    const auto metrics = m_panels.metrics();
    std::vector<gdi::WinRect> rects;
    for (int i = 0; i < m_panels.Count(); ++i)
        rects.push_back(m_panels.Items(i)->PanelRect());
    return m_panels.Items(StatusLayout::hitTest(metrics, rects, point));
}

void TvtqStatusBar::clickAt(QPoint point)
{
    if (m_simplePanel) {
        if (OnClick)
            OnClick(this);
        return;
    }
    if (TvtqStatusPanel* panel = panelAt(point); panel && panel->OnClick)
        panel->OnClick(panel);
}

void TvtqStatusBar::dblClickAt(QPoint point)
{
    if (m_simplePanel) {
        if (OnDblClick)
            OnDblClick(this);
        return;
    }
    if (TvtqStatusPanel* panel = panelAt(point); panel && panel->OnDblClick)
        panel->OnDblClick(panel);
}

QString TvtqStatusBar::hintAt(QPoint point, QRect* area)
{
    if (area)
        *area = rect();
    if (m_simplePanel) {
        if (OnHint)
            OnHint(this);
        return toolTip();
    }
    TvtqStatusPanel* panel = panelAt(point);
    if (!panel)
        return toolTip();
    if (panel->OnHint)
        panel->OnHint(panel);
    if (area)
        *area = panel->PanelRect().toQRect();
    return panel->Hint;
}

bool TvtqStatusBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        QRect area;
        const QString hint = hintAt(help->pos(), &area);
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this, area);
        return true;
    }
    return QWidget::event(event);
}

bool TvtqStatusBar::inGrip(QPoint point) const
{
    const int h = hScrollBarHeight();
    const int v = vScrollBarWidth();
    return gripActive() && point.x() > width() - h && point.y() > height() - v;
}

void TvtqStatusBar::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_pressed = false;
    if (event->button() == Qt::LeftButton && inGrip(pos) && window()->windowHandle()) {
        // The corner acts as the window's own bottom-right sizing corner.
        window()->windowHandle()->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        return;
    }
    m_pressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void TvtqStatusBar::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_pressed && event->button() == Qt::LeftButton && rect().contains(pos))
        clickAt(pos);
    m_pressed = false;
    QWidget::mouseReleaseEvent(event);
}

void TvtqStatusBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dblClickAt(event->position().toPoint());
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace controls
