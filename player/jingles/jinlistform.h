// TfrmJinList: the jingle list dialog. Assigns files to the nine slots, pre-listens a row in a
// jingle window (slot 0), sets the level the decks go down to while a jingle plays, and loads and
// saves the nine paths as a jingle list file. It frees itself when it closes.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace controls {
class TTBar;
}

namespace player {

class TForm1;

class TfrmJinList : public QDialog {
    Q_OBJECT
public:
    explicit TfrmJinList(TForm1& owner);

    QLabel* Label1;  // "Джинглы:"
    QLabel* Label2;  // "Список:"
    QLabel* Label3;  // "Уровень эфира при запуске джингла:"
    QTreeWidget* ListView1;  // rows 1..9: "N", "File Name", the hidden path
    QPushButton* Button1;    // "Выбрать..."
    QPushButton* Button2;    // "Удалить"
    QPushButton* Button3;    // "Прослушать"
    QPushButton* Button4;    // "Загрузить..."
    QPushButton* Button5;    // "Сохранить..."
    QPushButton* Button6;    // "ОК"
    QPushButton* Button7;    // "Отмена"
    controls::TTBar* tbVolume;  // JVol
    QTimer* Timer1;             // 50 ms: the buttons follow the selection

    // The open dialog's filter: jingle lists, then the playable types (deck A's filter).
    QString OpenFilter;
    QString PlayableFilter;

    void FormShow();
    void Timer1Timer();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void tbVolumeChange();

    // The path of row k (0..8).
    QString rowPath(int k) const;
    void setRow(int k, const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    int selectedRow() const;
    std::string listFilter() const;  // "Jingles list (*.lst)|*.lst" in the language
    TForm1& m_owner;
    bool m_shown = false;
};

}  // namespace player
