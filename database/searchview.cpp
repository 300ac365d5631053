// Search, quick search, reset, column sort and selection totals of the main window.
#include "database/basemainwindow.h"

#include "database/basesearch.h"
#include "database/basesort.h"
#include "database/tracklistmodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

namespace database {

void TBase_main_window::setEditsEnabled(bool enabled)
{
    for (QLineEdit* e : Edits)
        e->setEnabled(enabled);
}

void TBase_main_window::SearchBase()
{
    if (m_searching || m_passRunning)
        return;
    m_searching = true;
    const bool visible = isVisible();
    QPointer<QWidget> focus = visible ? QApplication::focusWidget() : nullptr;
    if (visible) {
        Button3->setEnabled(false);
        Gauge1->show();
    }
    QElapsedTimer started;
    started.start();
    std::array<QString, kFieldCount> texts;
    for (int i = 0; i < kFieldCount; ++i)
        texts[static_cast<std::size_t>(i)] = Edits[static_cast<std::size_t>(i)]->text();
    setEditsEnabled(false);
    const SearchMatcher matcher(texts);
    runSearch(Base, matcher, [this](int percent) {
        Gauge1->setValue(percent);
        pumpMessages();
    }, searchPumpPeriod);
    m_model->refresh();
    Gauge1->setValue(100);
    Label15->setText(QString::number(Base.List.size()));
    CalcTotalTime(0);
    Gauge1->hide();
    Button3->setEnabled(true);
    setEditsEnabled(true);
    if (visible && focus) {
        focus->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(focus.data())) {
            edit->deselect();
            edit->end(false);
        }
    }
    Label13->setText(QString::asprintf("%.2f", static_cast<double>(started.nsecsElapsed()) / 1e9));
    m_searching = false;
    finishPass();
}

void TBase_main_window::ResetSearch()
{
    Label15->setText("0");
    Label13->setText("0.00");
    Base.showAll();
    m_model->refresh();
    for (QLineEdit* e : Edits)
        e->clear();
}

void TBase_main_window::ListView1ColumnClick(int column)
{
    if (m_searching || m_passRunning)
        return;
    ResetSearch();
    SortDirection = -SortDirection;
    if (sortTracks(Base.List, column, SortDirection))
        Base.adoptShownOrder();
    m_model->refresh();
}

void TBase_main_window::N2Click()
{
    ListView1->selectAll();
    CalcTotalTime(1);
}

bool TBase_main_window::Edit1KeyUp(int key)
{
    switch (key) {
    case Qt::Key_CapsLock: case Qt::Key_NumLock: case Qt::Key_ScrollLock: case Qt::Key_Escape:
    case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Shift: case Qt::Key_Return: case Qt::Key_Enter:
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Home:
    case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Meta: case Qt::Key_AltGr:
        return false;
    default:
        break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return false;
    if (!Options.QSearch || !Button3->isEnabled())
        return false;
    SearchBase();
    return true;
}

bool TBase_main_window::eventFilter(QObject* watched, QEvent* event)
{
    if (previewEventFilter(watched, event))
        return true;
    const bool isEdit = std::find(Edits.begin(), Edits.end(), watched) != Edits.end();
    if (isEdit && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            guarded([this, key] { Edit1KeyUp(key->key()); });
    } else if (isEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && Button3->isEnabled()) {
            guarded([this] { SearchBase(); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace database
