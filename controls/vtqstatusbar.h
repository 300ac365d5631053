// TvtqStatusBar: a status bar drawn by the program itself, with panels that have their own text,
// image, alignment, border and colours, one optional spring panel, owner-drawn panels, per-panel
// click and hint events and a size grip. Every frame is drawn off screen and copied at once.
#pragma once

#include "controls/statuslayout.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace controls {

class TvtqStatusBar;
class TvtqStatusPanel;
class TvtqStatusPanels;

enum TvtqPanelBevelStyle { pbsSunkenBorder, pbsNoBorder, pbsRaisedBorder, pbsFlatBorder };
enum TvtqPanelDrawStyle { pdsText, pdsOwnerDraw };
enum TvtqAlignment { taLeftJustify, taRightJustify, taCenter };

class TvtqPanelColors {
public:
    explicit TvtqPanelColors(TvtqStatusPanel* owner) : m_owner(owner) {}
    TvtqPanelColors& operator=(const TvtqPanelColors& other);  // copies the four colours

    QColor BackColor() const { return m_back; }
    QColor BorderHighLightColor() const { return m_highlight; }
    QColor BorderShadowColor() const { return m_shadow; }
    QColor FlatBorderColor() const { return m_flat; }
    void setBackColor(const QColor& c) { set(m_back, c); }
    void setBorderHighLightColor(const QColor& c) { set(m_highlight, c); }
    void setBorderShadowColor(const QColor& c) { set(m_shadow, c); }
    void setFlatBorderColor(const QColor& c) { set(m_flat, c); }

private:
    friend class TvtqStatusPanel;
    void set(QColor& field, const QColor& value);

    TvtqStatusPanel* m_owner;
    QColor m_back;
    QColor m_highlight;
    QColor m_shadow;
    QColor m_flat;
};

class TvtqStatusPanel {
public:
    explicit TvtqStatusPanel(TvtqStatusPanels* collection);

    TvtqAlignment Alignment() const { return m_alignment; }
    void setAlignment(TvtqAlignment a);
    TvtqPanelBevelStyle Bevel() const { return m_bevel; }
    void setBevel(TvtqPanelBevelStyle b);
    TvtqPanelColors& Colors() { return m_colors; }
    const TvtqPanelColors& Colors() const { return m_colors; }
    void setColors(const TvtqPanelColors& colors) { m_colors = colors; }
    bool FitToContent() const { return m_fitToContent; }
    void setFitToContent(bool fit);
    int ImageIndex() const { return m_imageIndex; }
    void setImageIndex(int index);
    QString Text() const { return m_text; }
    void setText(const QString& text);
    bool Spring() const { return m_spring; }
    void setSpring(bool spring);
    TvtqPanelDrawStyle Style() const { return m_style; }
    void setStyle(TvtqPanelDrawStyle style);
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    int Width() const { return m_width; }
    void setWidth(int width);

    QString Hint;  // changing it repaints nothing
    int Tag = 0;

    int FitWidth() const { return m_fitWidth; }
    gdi::WinRect PanelRect() const { return m_panelRect; }
    int Index() const;

    std::function<void(TvtqStatusPanel* sender)> OnClick;
    std::function<void(TvtqStatusPanel* sender)> OnDblClick;
    std::function<void(TvtqStatusPanel* sender)> OnHint;

    void Changed();

private:
    friend class TvtqStatusPanels;
    friend class TvtqPanelColors;

    TvtqStatusPanels* m_collection;
    TvtqAlignment m_alignment = taLeftJustify;
    TvtqPanelBevelStyle m_bevel = pbsSunkenBorder;
    TvtqPanelColors m_colors;
    bool m_fitToContent = false;
    int m_imageIndex = -1;
    QString m_text;
    bool m_spring = false;
    TvtqPanelDrawStyle m_style = pdsText;
    bool m_visible = true;
    int m_width = 50;
    int m_fitWidth = 50;
    gdi::WinRect m_panelRect;
};

// The panel's border on its rectangle, by its Bevel and Colors.
void DrawPanelBevel(QPainter& p, const TvtqStatusPanel& panel, const gdi::WinRect& r);

class TvtqStatusPanels {
public:
    explicit TvtqStatusPanels(TvtqStatusBar* bar) : m_bar(bar) {}

    TvtqStatusPanel* Add();
    int Count() const { return static_cast<int>(m_items.size()); }
    TvtqStatusPanel* Items(int index) const;  // nullptr when out of range
    TvtqStatusPanel* operator[](int index) const { return Items(index); }
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++m_updating; }
    void EndUpdate();
    int indexOf(const TvtqStatusPanel* panel) const;
    TvtqStatusBar* bar() const { return m_bar; }

    // Computes every panel's PanelRect for the client rectangle.
    void Layout(const gdi::WinRect& client, int vScrollWidth);
    std::vector<StatusPanelMetrics> metrics() const;

private:
    friend class TvtqStatusPanel;
    void panelChanged(TvtqStatusPanel* panel);

    TvtqStatusBar* m_bar;
    std::vector<std::unique_ptr<TvtqStatusPanel>> m_items;
    int m_updating = 0;
};

class TvtqStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TvtqStatusBar(QWidget* parent = nullptr);

    TvtqStatusPanels& Panels() { return m_panels; }
    QList<QPixmap> Images() const { return m_images; }
    void setImages(QList<QPixmap> images);
    bool SizeGrip() const { return m_sizeGrip; }
    void setSizeGrip(bool on);
    bool SimplePanel() const { return m_simplePanel; }
    void setSimplePanel(bool on);
    QString SimpleText() const { return m_simpleText; }
    void setSimpleText(const QString& text);
    bool UseSystemFont() const { return m_useSystemFont; }
    void setUseSystemFont(bool on);
    QColor Color() const { return m_color; }
    void setColor(const QColor& color);
    int MinHeight() const { return m_minHeight; }
    QFont drawingFont() const { return m_useSystemFont ? m_systemFont : font(); }

    std::function<void(TvtqStatusBar* bar, QPainter& canvas, TvtqStatusPanel* panel, const QRect& rect)> OnDrawPanel;
    std::function<void(QObject* sender)> OnHint;
    std::function<void(QObject* sender)> OnClick;
    std::function<void(QObject* sender)> OnDblClick;

    // The whole bar as it would appear now.
    QImage renderFrame();
    // The panel at a point of the bar, or nullptr.
    TvtqStatusPanel* panelAt(QPoint point);
    // Click and double click at a point of the bar, as the mouse does.
    void clickAt(QPoint point);
    void dblClickAt(QPoint point);
    // The hint text shown at a point (after the hint events), and the area it holds for.
    QString hintAt(QPoint point, QRect* area = nullptr);

    int measureFitWidth(const TvtqStatusPanel& panel) const;
    void repaintNow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void drawPanel(QPainter& p, TvtqStatusPanel& panel, gdi::WinRect r, bool last, QColor& fill);
    bool gripActive() const;
    bool inGrip(QPoint point) const;

    TvtqStatusPanels m_panels;
    QList<QPixmap> m_images;
    bool m_sizeGrip = true;
    bool m_simplePanel = false;
    QString m_simpleText;
    bool m_useSystemFont = true;
    QColor m_color;
    QFont m_systemFont;
    int m_minHeight = 19;
    bool m_pressed = false;
    bool m_painting = false;
};

}  // namespace controls
