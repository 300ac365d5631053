// TLBar: a track bar with a caption label at its left and a value label at its right, and a
// real Value with Prec decimals over the integer positions.
#pragma once

#include "controls/tbar.h"

#include <QLabel>
#include <QPointer>
#include <QString>

#include <functional>


namespace controls {

class TLBar : public TTBar {
    Q_OBJECT
public:
    explicit TLBar(QWidget* parent = nullptr);
    ~TLBar() override;

    QString Caption() const;
    void setCaption(const QString& caption);
    int LabelSpacing() const { return m_labelSpacing; }
    void setLabelSpacing(int spacing);
    float Value() const { return m_value; }
    void SetValue(float value);
    int Prec() const { return m_prec; }
    void setPrec(int prec);
    QString _unit() const { return m_unit; }
    void setUnit(const QString& unit);
    float MinValue() const { return m_minValue; }
    void setMinValue(float value);
    float MaxValue() const { return m_maxValue; }
    void setMaxValue(float value);
    int factor() const { return m_factor; }

    // Runs the value update once, as after the window has set every property up.
    void Loaded() { valueUpdate(); }

    // The room the labels need beside the bar, spacing included: the caption's width, and the
    // widest text the value label shows (at either end of the range).
    int captionRoom() const;
    int valueRoom() const;

    QLabel* captionLabel() const { return m_caption; }
    QLabel* valueLabel() const { return m_valueLabel; }

    std::function<void(QObject* sender)> OnValueChange;

protected:
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void valueUpdate();
    void placeLabels();

    // Siblings of the bar (they sit outside it); the parent may delete them first.
    QPointer<QLabel> m_caption;
    QPointer<QLabel> m_valueLabel;
    int m_labelSpacing = 0;
    float m_value = 0;
    int m_factor = 0;
    int m_prec = 0;
    QString m_unit;
    float m_minValue = 0;
    float m_maxValue = 0;
};

}  // namespace controls
