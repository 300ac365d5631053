// TTagEdit: the database's ID3v1 tag editor dialog. It edits one tag buffer prepared by the caller
// and hands back the edited buffer, the genre byte to write and how it was closed. The buffer's
// texts are code page 1251, as in the files and the base; the dialog shows and takes them as text.
#pragma once

#include "media/records.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace database {

// Genre bytes besides 0..147: none, keep each file's genre, a genre typed by hand.
inline constexpr std::uint8_t kGenreNone = 255;
inline constexpr std::uint8_t kGenreKeep = 250;
inline constexpr std::uint8_t kGenreTyped = 254;

class TTagEdit : public QDialog {
    Q_OBJECT
public:
    // noChangeGenre: the program's "keep the genre" option, shown by CheckBox2 and stored back at
    // every close.
    TTagEdit(bool& noChangeGenre, QWidget* parent = nullptr);

    media::TTagRecord Tag{};    // in: the buffer to edit; out: the edited one (after OK)
    std::string FileName;       // UTF-8 path shown; empty for several tracks
    std::uint8_t GenreByte = kGenreNone;
    std::uint8_t CloseState = 0;  // 0 open, 1 OK, 2 Cancel

    QLineEdit *title, *artist, *album, *comm, *year;
    QComboBox* ComboBox1;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QLabel* Label8;
    QPushButton* Button1;
    QPushButton* Button2;

    void FormShow();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;

public slots:
    void done(int result) override;  // FormClose: every way of closing ends here

private:
    bool& m_noChangeGenre;
};

}  // namespace database
