// TOptFrm: the database's options dialog. Every control changes its option in memory at once;
// the main window writes "Base.ini" when it closes.
#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace engine {
class TAudioEngine;
}

namespace database {

struct BaseOptions;

class TOptFrm : public QDialog {
    Q_OBJECT
public:
    // trackList: the main list, whose font and background the dialog shows and whose font it sets.
    // deck: the preview deck whose speaker flags follow the output choice (may be null).
    TOptFrm(BaseOptions& options, QWidget* trackList, engine::TAudioEngine* deck, QWidget* parent = nullptr);

    QCheckBox *CheckBox1, *CheckBox2, *CheckBox5, *cbOverwrite, *cbOpenLastBase, *CheckBox3, *CheckBox4;
    std::array<QLabel*, 4> Panels{};  // Panel1..Panel4, Tags 1..4
    QPushButton* Button2;
    QGroupBox* montype;
    std::array<QRadioButton*, 4> montypeItems{};
    QPushButton* Button1;

    void FormShow();
    void Panel1Click(int tag);
    void Button2Click();
    void montypeClick(int index);
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintPanel(int tag);

    BaseOptions& m_options;
    QWidget* m_trackList;
    engine::TAudioEngine* m_deck;
};

}  // namespace database
