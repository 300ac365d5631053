// Ttimeform: the schedule dialog. Edits a copy of the schedule's entries (date, time and file of
// each row), which "OK" hands back; "Запускать немедленно" takes effect at once, also when the
// dialog is then cancelled. Modal, and freed when it closes.
#pragma once

#include "player/schedule/schedule.h"
#include "player/schedule/schedulefile.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class QTimer;
class QTreeWidget;

namespace player {

class TForm1;

class Ttimeform : public QDialog {
    Q_OBJECT
public:
    explicit Ttimeform(TForm1& owner);

    QGroupBox* GroupBox1;   // " Список плейлистов"
    QTreeWidget* rasplist;  // date, time, path and a hidden fourth column
    QGroupBox* GroupBox2;   // " Настройки расписания "
    QDateEdit* _date;       // "dd.MM.yyyy"
    QTimeEdit* _time;       // "H:mm:ss"
    QLineEdit* _file;       // "File:"
    QPushButton* Button4;   // "..."
    QPushButton* Button7;   // "Добавить"
    QPushButton* Button8;   // "Очистить"
    QPushButton* Button3;   // "Загрузить"
    QPushButton* Button6;   // "Сохранить"
    QCheckBox* rightnow;    // "Запускать немедленно"
    QCheckBox* cbUseDate;   // "Учитывать дату"
    QPushButton* Button1;   // "OK"
    QPushButton* Button2;   // "Отмена"
    QTimer* Timer1;         // 50 ms: the editors follow the selection

    // The dialog's rows; "OK" hands them to the schedule.
    std::vector<ScheduleEntry> Rows;
    // What the schedule file of the rows held that could not be read; it goes with the rows.
    ScheduleFileRest Rest;
    bool ScheduleRowLoading = false;
    // The entry file dialog's filter: the playable types, then playlists.
    QString EntryFilter;

    void setRows(std::vector<ScheduleEntry> rows);
    // The schedule's entries as the dialog opens: its rows and what "OK" compares with.
    void takeSchedule(const std::vector<ScheduleEntry>& entries, const ScheduleFileRest& rest = {});
    void FormShow();
    void Timer1Timer();
    void rasplistChange();
    void _dateChange();
    void Button4Click();
    void Button7Click();
    void Button8Click();
    void Button3Click();
    void Button6Click();
    void rightnowClick();
    void cbUseDateClick();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    int selectedRow() const;
    void showRow(int row);
    void fitColumns();
    std::string scheduleFilter() const;  // "Schedule files (*.SDL)|*.sdl" in the language
    TForm1& m_owner;
    bool m_shown = false;
    std::vector<ScheduleEntry> m_openedWith;
};

// The texts the schedule's lists show for an entry's date and time (the short date and the long
// time formats of the locale, the time without its zone).
QString scheduleDateText(const QDate& date);
QString scheduleTimeText(const QTime& time);

// Shows text (when there is any) in a warning box from the event queue, while context lives: a
// box must not hold up a profile load, the dialog or a scheduled start.
void tellScheduleOperator(QObject* context, const std::string& text);

}  // namespace player
