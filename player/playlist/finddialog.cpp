// The playlist's find dialog.
#include "player/playlist/finddialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace player {

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("Find"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("FindText"));
    auto* next = new QPushButton(QStringLiteral("Find Next"), this);
    next->setObjectName(QStringLiteral("FindNext"));
    next->setDefault(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(next);
    connect(next, &QPushButton::clicked, this, [this] {
        if (OnFind)
            OnFind();
    });
}

QString TFindDialog::FindText() const { return m_text->text(); }

void TFindDialog::setFindText(const QString& text) { m_text->setText(text); }

void TFindDialog::hideEvent(QHideEvent* event)
{
    Tag = -1;
    QDialog::hideEvent(event);
}

}  // namespace player
