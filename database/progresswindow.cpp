// The progress window. Closing it other than by its caller (Alt+F4, Esc) counts as Cancel, so a
// pass never goes on reporting into a window that is gone.
#include "database/progresswindow.h"

#include "database/abortflag.h"
#include "database/centerdialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace database {

TProgress_window::TProgress_window(QWidget* parent, QWidget* host)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_host(host)
{
    setObjectName("Progress_window");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Progress_window");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    lbCurOp = new QLabel("Current operation:", this);
    lbCurOp->setObjectName("lbCurOp");
    auto* row = new QHBoxLayout;
    Label19 = new QLabel(QString::fromUtf8("Поиск: "), this);
    Label19->setObjectName("Label19");
    Label18 = new QLabel("now searching here", this);
    Label18->setObjectName("Label18");
    Label18->setMinimumWidth(300);
    row->addWidget(Label19);
    row->addWidget(Label18, 1);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    Button9 = new QPushButton(QString::fromUtf8("Отмена"), this);
    Button9->setObjectName("Button9");
    layout->addWidget(lbCurOp);
    layout->addLayout(row);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Button9, 0, Qt::AlignHCenter);
    // Hidden controls keep their room: the window has one size in every step of a pass, the size
    // it was centred with.
    for (QWidget* optional : std::initializer_list<QWidget*>{Label19, Label18, ProgressBar1, Button9}) {
        QSizePolicy policy = optional->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        optional->setSizePolicy(policy);
        optional->hide();
    }
    connect(Button9, &QPushButton::clicked, this, &TProgress_window::Button9Click);
}

void TProgress_window::Button9Click() { AbortFlag = true; }

void TProgress_window::setFolder(const QString& folder)
{
    Label18->setText(Label18->fontMetrics().elidedText(folder, Qt::ElideMiddle, Label18->width()));
}

void TProgress_window::showEvent(QShowEvent* event)
{
    if (m_host)
        m_host->setEnabled(false);
    QDialog::showEvent(event);
    // Centred by the real outer sizes of both windows, known only now that this one is laid out.
    if (QWidget* over = parentWidget())
        centerOver(*this, *over);
}

void TProgress_window::closeEvent(QCloseEvent* event)
{
    AbortFlag = true;
    if (m_host)
        m_host->setEnabled(true);
    // Not QDialog's handler: it would route the close through reject() and back here.
    event->accept();
}

void TProgress_window::reject() { close(); }

}  // namespace database
