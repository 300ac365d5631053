// TfrmSettings "Preferences": the player's settings dialog. It shows the profile's values held by
// the main window, "system.ini" and "player.ini"; OK writes both files and the values in memory
// (the profile saves those), and the encoder presets file. Created anew for every showing.
#pragma once

#include "player/settings/encoderpresets.h"

#include <QColor>
#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace player {

class RadioGroup;
class PlayerTexts;
class TForm1;

class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSettings(TForm1& owner);

    QTabWidget* PageControl1;
    QWidget* TabSheet1;  // "Общие"
    QWidget* TabSheet2;  // "Программа"
    QWidget* TabSheet3;  // "Детектор тишины"
    QWidget* TabSheet4;  // "Encoder"
    QWidget* TabSheet5;  // "Sound"
    // "Общие"
    QLabel* Label1;
    QLineEdit* edAdvert;  // ID_A
    QLabel* Panel1;       // Color_A
    QLabel* Label2;
    QLineEdit* edJingl;  // ID_J
    QLabel* Panel2;      // Color_J
    QLabel* Label3;
    QLineEdit* edDefBase;
    QPushButton* Button2;
    RadioGroup* rgClose;  // 0 the close button minimises, 1 it closes
    // "Программа"
    QCheckBox* cbReport;
    QCheckBox* cbNoCopy;    // player.ini NoCopy
    QCheckBox* cbRegShell;  // player.ini ShellExt
    QCheckBox* cbSortList;  // shown when player.ini AllowSort is on
    RadioGroup* RadioGroup1;  // system.ini Priority
    // "Детектор тишины"
    QCheckBox* cbQuiet;
    QLabel* Label4;
    QSlider* tbTime;  // 1..600 seconds
    QLabel* Label5;   // "%.2d m %.2d s"
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QLabel* Label6;
    QLineEdit* edList;
    QPushButton* Button4;
    // "Encoder"
    QLabel* Label7;
    QLineEdit* edto;
    QPushButton* Button5;
    QLabel* Label13;
    QComboBox* cbcodec;
    QLabel* Label8;
    QLineEdit* prsname;
    QLabel* Label9;
    QLineEdit* prscomm;
    QLabel* Label10;
    QLineEdit* prsext;
    QPushButton* Button8;  // "Add"
    QPushButton* Button6;  // "Save"
    QPushButton* Button7;  // "Del"
    QCheckBox* cbencparam;
    // "Sound"
    RadioGroup* RadioGroup3;  // system.ini Lg
    RadioGroup* montype;
    QCheckBox* cbCutSilence;
    QLabel* Label11;
    QSpinBox* mutelev;  // -30..0 dB; its edit box is Edit1
    QLineEdit* Edit1;
    QLabel* Label12;
    QLabel* lbMainDev;
    QComboBox* cbMainDev;    // system.ini [Device] MainDev, by name
    QLabel* lbSecondDev;
    QComboBox* cbSecondDev;  // system.ini [Device] SecondDev (monitor type 2)
    QPushButton* Button1;  // "ОК"
    QPushButton* Button3;  // "Отмена"

    // The presets as the dialog edits them; the file gets them only through OK.
    std::vector<EncoderPreset> Presets;
    bool RestartNeeded = false;

    void FormShow();
    void Button1Click();
    void FormClose();
    void tbTimeChange();
    void montypeClick(int index);
    void Panel1Click();
    void Panel2Click();
    void Button2Click();
    void Button4Click();
    void Button5Click();
    void LoadEncoderPresets();
    void SaveEncoderPresets();
    void FillCodecList();
    void cbcodecChange();
    void Button8Click();
    void Button6Click();
    void Button7Click();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGeneralPage();
    QWidget* buildProgramPage();
    QWidget* buildSilencePage();
    QWidget* buildEncoderPage();
    QWidget* buildSoundPage();
    EncoderPreset presetOfBoxes() const;
    void showColor(QLabel* panel, const QColor& color);

    TForm1& m_owner;
    QColor m_advertColor;
    QColor m_jingleColor;
    bool m_shown = false;
    bool m_closed = false;
    // The devices "system.ini" named when the dialog was shown (they take effect at a restart).
    int m_mainDev = 1;
    int m_secondDev = 2;
};

// "%.2d m %.2d s" of an interval in seconds, with the units in the language.
QString IntervalText(int seconds, const PlayerTexts& texts);

}  // namespace player
