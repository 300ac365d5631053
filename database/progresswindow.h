// TProgress_window: the small tool window of a long pass (adding tracks, counting durations) with
// its Cancel button; the rest of the main window is disabled while it is shown.
#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace database {

class TProgress_window : public QDialog {
    Q_OBJECT
public:
    // host: the part of the main window disabled while this window is shown. The window frees
    // itself when it closes; callers keep a QPointer to it.
    TProgress_window(QWidget* parent, QWidget* host);

    QLabel* lbCurOp;
    QLabel* Label19;
    QLabel* Label18;
    QProgressBar* ProgressBar1;
    QPushButton* Button9;

    void Button9Click();
    // Shows folder shortened with an ellipsis to the label's width.
    void setFolder(const QString& folder);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Esc

private:
    QPointer<QWidget> m_host;
};

}  // namespace database
