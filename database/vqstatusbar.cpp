// The status bar with its two panels.
#include "database/vqstatusbar.h"

#include <QLabel>

namespace database {

TVqStatusBar::TVqStatusBar(QWidget* owner) : QStatusBar(owner)
{
    setObjectName("VqStatusBar1");
    m_panel0 = new QLabel(this);
    m_panel0->setFixedWidth(119);
    m_panel1 = new QLabel(this);
    m_panel1->setMinimumWidth(120);
    addWidget(m_panel0);
    addWidget(m_panel1, 1);
}

void TVqStatusBar::setPanelText(int i, const QString& text) { panel(i)->setText(text); }

void TVqStatusBar::host(QWidget* child)
{
    child->setParent(m_panel0);
    child->setGeometry(0, 0, 119, 16);
}

}  // namespace database
