// Preview playback on the database's deck: the five buttons, the position text and bar with its
// seeking, the volume, and play on Enter or a double click in the list.
#include "database/basemainwindow.h"

#include "controls/tbar.h"
#include "database/previewmath.h"
#include "database/recordtext.h"
#include "database/tracklistmodel.h"
#include "engine/audioengine.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace database {

void TBase_main_window::ListView1Change()
{
    const bool any = ListView1->selectionModel() && ListView1->selectionModel()->hasSelection();
    for (QToolButton* b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5})
        b->setEnabled(any);
}

void TBase_main_window::previewStart(const std::string& fileName)
{
    // The pan is set before every start, so a change of the output type takes effect at once
    // rather than a left-only pan surviving into "normal".
    const bool leftOnly = Options.MonType == 0;
    m_previewDeck->Pan = leftOnly ? -100 : 0;
    m_previewDeck->PlayFile(fileName);
    if (leftOnly)
        m_previewDeck->SetPan(-100);
}

void TBase_main_window::SpeedButton1Click(int tag)
{
    if (!m_previewDeck)
        return;
    const std::vector<int> rows = selectedRows();
    if (rows.empty() && tag != 2 && tag != 3)
        return;
    engine::TAudioEngine& deck = *m_previewDeck;
    deck.SetStreamVolume(100 - tbVolume->value());
    switch (tag) {
    case 1:
        Timer1->start();
        if (deck.State() == engine::STATE_PAUSE)
            deck.Resume();
        else
            previewStart(std::string(storedBytes(*Base.List[static_cast<std::size_t>(rows.front())], Field::FileName)));
        break;
    case 2:
        deck.Stop();
        ProgressBar1->setValue(0);
        break;
    case 3:
        if (deck.State() == engine::STATE_PAUSE) {
            deck.Resume();
            Timer1->start();
        } else {
            deck.Pause();
            Timer1->stop();
        }
        break;
    case 4:
        moveFirstSelection(-1);
        break;
    case 5:
        moveFirstSelection(1);
        break;
    default:
        break;
    }
}

void TBase_main_window::moveFirstSelection(int step)
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    const int first = rows.front();
    const int target = first + step;
    if (target < 0 || static_cast<std::size_t>(target) >= Base.List.size())
        return;
    Timer1->start();
    QItemSelectionModel* sel = ListView1->selectionModel();
    sel->select(m_model->index(target, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->select(m_model->index(first, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    sel->setCurrentIndex(m_model->index(target, 0), QItemSelectionModel::NoUpdate);
    ListView1->scrollTo(m_model->index(target, 0));
    m_previewDeck->Stop();
    const std::vector<int> now = selectedRows();
    if (!now.empty())
        previewStart(std::string(storedBytes(*Base.List[static_cast<std::size_t>(now.front())], Field::FileName)));
}

void TBase_main_window::ListView1DblClick() { SpeedButton1Click(1); }

void TBase_main_window::ListView1KeyPress(char key)
{
    if (key == 13 && SpeedButton4->isEnabled())
        SpeedButton1Click(1);
}

void TBase_main_window::Timer1Timer()
{
    if (!m_previewDeck || m_previewDeck->LengthMs == 0 || m_previewDeck->State() != engine::STATE_PLAY) {
        Label19->setText("00:00/00:00");
        ProgressBar1->setValue(0);
        return;
    }
    const std::int32_t position = m_previewDeck->GetPosition();
    Label19->setText(QString::fromStdString(previewPositionText(position, m_previewDeck->LengthMs)));
    ProgressBar1->setValue(previewPercent(position, m_previewDeck->LengthMs));
}

void TBase_main_window::seekPreview(int x)
{
    if (!m_previewDeck)
        return;
    const std::int32_t target = previewSeekTargetMs(x, ProgressBar1->width(), m_previewDeck->LengthMs);
    if (target >= 0)
        m_previewDeck->SetPosition(target);
}

void TBase_main_window::ProgressBar1MouseDown(int) { m_dragging = true; }

void TBase_main_window::ProgressBar1MouseMove(int x)
{
    if (m_dragging)
        seekPreview(x);
}

void TBase_main_window::ProgressBar1MouseUp(int x)
{
    if (m_dragging)
        seekPreview(x);
    m_dragging = false;
}

void TBase_main_window::FormMouseUp() { m_dragging = false; }

void TBase_main_window::tbVolumeChange()
{
    if (m_previewDeck)
        m_previewDeck->SetStreamVolume(100 - tbVolume->value());
}

bool TBase_main_window::previewEventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        guarded([this] { ListView1KeyPress(13); });
        return true;
    }
    if (watched != ProgressBar1)
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    switch (type) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton)
            guarded([this, at] { ProgressBar1MouseDown(at.x()); });
        return true;
    case QEvent::MouseMove:
        guarded([this, at] { ProgressBar1MouseMove(at.x()); });
        return true;
    case QEvent::MouseButtonRelease:
        // The bar keeps the mouse while a button is down: a release outside it is the window's.
        guarded([this, at] {
            if (ProgressBar1->rect().contains(at))
                ProgressBar1MouseUp(at.x());
            else
                FormMouseUp();
        });
        return true;
    default:
        return false;
    }
}

}  // namespace database
