// TStatFrm: the statistics window. It shows what the base's main window knows at once (count,
// total time, size in memory), starts its worker when it shows, takes the worker's figures as
// they come and draws the file types as a pie. Any way of closing it stops and waits for the
// worker, and figures that arrive afterwards are dropped.
#pragma once

#include "database/dialogs/statistics.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QPainter;

namespace database {

class TPaintBox;
class TStatThrd;

class TStatFrm : public QDialog {
    Q_OBJECT
public:
    struct BaseFigures {
        std::size_t records = 0;
        QString totalTime;                       // the main window's total-time text
        std::function<std::size_t()> liveCount;  // the base's size now (for the " +" mark)
        StatWords words;                         // in the program's language
    };
    TStatFrm(BaseFigures figures, QWidget* parent = nullptr);
    ~TStatFrm() override;

    // The worker this window starts and stops; owned by the caller, outlives the window.
    void setThread(TStatThrd* thread);

    QLabel *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17, *Label19, *Label20, *Label23;
    std::array<QLabel*, kStatTypeCount> Labels100{};  // Label100..Label103
    std::array<QWidget*, kStatTypeCount> Panels{};    // Panel2..Panel5
    QWidget* Panel1;
    TPaintBox* Pb;
    QProgressBar* Gauge1;
    QTimer* Timer2;
    QPushButton* Button1;

    void FormShow();
    void Timer2Timer();
    void Button1Click();
    void Label15Click(int tag);
    // The paint handler of Pb: nothing until the worker has finished, then the pie.
    void Timer1Timer(QPainter& painter);

    // The worker's steps, run on this window's thread.
    void StopGaugeAnimation();
    void ShowResults(const StatResults& results);
    void ShowGaugeText();
    void ShowSizeProgress(int percent);
    void HideGauge();

    const StatResults& results() const { return m_results; }
    // The four shares in percent of the record count.
    std::array<double, kStatTypeCount> shares() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void done(int result) override;

private:
    bool dropping() const;
    void stopThread();

    BaseFigures m_figures;
    TStatThrd* m_thread = nullptr;
    StatResults m_results;
    bool m_started = false;
    bool m_closed = false;
};

}  // namespace database
