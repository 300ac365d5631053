// TVqStatusBar: the main window's status bar, two text panels and room for child controls (the
// search gauge sits over the first panel).
#pragma once

#include <QStatusBar>

class QLabel;

namespace database {

class TVqStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TVqStatusBar(QWidget* owner);

    QLabel* panel(int i) const { return i == 0 ? m_panel0 : m_panel1; }
    void setPanelText(int i, const QString& text);
    // Puts a child control over panel 0.
    void host(QWidget* child);

private:
    QLabel* m_panel0;
    QLabel* m_panel1;
};

}  // namespace database
