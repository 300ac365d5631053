// The tag editor dialog: fields in and out of the 158-byte buffer, the genre choice.
#include "database/dialogs/tagedit.h"

#include "platform/cp1251.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

namespace database {

namespace {

// A fixed field's text: up to its first zero byte or its whole width.
QString fieldText(const char* field, std::size_t width)
{
    const void* zero = std::memchr(field, 0, width);
    const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : width;
    return QString::fromStdString(platform::cp1251ToUtf8(std::string_view(field, n)));
}

// The text as code page 1251, at most width bytes, into a field already zero.
void putField(const QString& text, char* field, std::size_t width)
{
    const std::string bytes = platform::utf8ToCp1251(text.toStdString());
    std::memcpy(field, bytes.data(), std::min(bytes.size(), width));
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int maxLength)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    return e;
}

}  // namespace

TTagEdit::TTagEdit(bool& noChangeGenre, QWidget* parent) : QDialog(parent), m_noChangeGenre(noChangeGenre)
{
    setObjectName("TagEdit");
    setWindowTitle("Tag editor");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    CheckBox1 = new QCheckBox("ID3v1 Tag", this);
    CheckBox1->setObjectName("CheckBox1");
    layout->addWidget(CheckBox1);
    auto* form = new QFormLayout;
    title = lineEdit(this, "title", 30);
    artist = lineEdit(this, "artist", 30);
    album = lineEdit(this, "album", 30);
    year = lineEdit(this, "year", 4);
    comm = lineEdit(this, "comm", 30);
    auto caption = [this](const char* name, const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(name);
        return l;
    };
    form->addRow(caption("Label1", "Название:"), title);
    form->addRow(caption("Label2", "Исполнитель:"), artist);
    form->addRow(caption("Label3", "Альбом:"), album);
    form->addRow(caption("Label4", "Год:"), year);
    form->addRow(caption("Label5", "Комментарий:"), comm);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItem("<none>");
    for (int i = 0; i < media::kGenreCount; ++i)
        ComboBox1->addItem(QString::fromStdString(platform::cp1251ToUtf8(media::GenreName(i))));
    auto* genre = new QHBoxLayout;
    genre->addWidget(ComboBox1, 1);
    CheckBox2 = new QCheckBox(QString::fromUtf8("Не изменять"), this);
    CheckBox2->setObjectName("CheckBox2");
    genre->addWidget(CheckBox2);
    form->addRow(caption("Label6", "Жанр:"), genre);
    layout->addLayout(form);
    Label8 = new QLabel(this);
    Label8->setObjectName("Label8");
    Label8->setMinimumWidth(320);
    layout->addWidget(Label8);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

void TTagEdit::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TTagEdit::FormShow()
{
    const QString genre = QString::fromStdString(platform::cp1251ToUtf8(Tag.Genre.str()));
    if (genre.isEmpty()) {
        ComboBox1->setCurrentIndex(0);
    } else {
        const int index = ComboBox1->findText(genre, Qt::MatchFixedString);  // without regard to case
        ComboBox1->setCurrentIndex(index);
        if (index < 0)
            ComboBox1->setEditText(genre);  // a genre typed by hand earlier stays visible
    }
    artist->setText(fieldText(Tag.Artist, sizeof Tag.Artist));
    album->setText(fieldText(Tag.Album, sizeof Tag.Album));
    title->setText(fieldText(Tag.Title, sizeof Tag.Title));
    comm->setText(fieldText(Tag.Comment, sizeof Tag.Comment));
    year->setText(fieldText(Tag.Year, sizeof Tag.Year));
    CheckBox1->setChecked(true);
    const QString name = QString::fromStdString(FileName);
    const int width = std::max(Label8->width(), Label8->minimumWidth()) - 1;
    Label8->setText(Label8->fontMetrics().elidedText(name, Qt::ElideMiddle, width));
    Label8->setToolTip(name);
    CheckBox2->setChecked(m_noChangeGenre);
}

void TTagEdit::Button1Click()
{
    std::memset(&Tag, 0, sizeof Tag);
    std::memcpy(Tag.Kind, CheckBox1->isChecked() ? "TAG" : "000", 3);
    // An entry counts as chosen only when the text is exactly its text; anything else was typed.
    const QString text = ComboBox1->currentText();
    const int index = ComboBox1->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index == 0)
        GenreByte = kGenreNone;
    else if (index > 0)
        GenreByte = static_cast<std::uint8_t>(index - 1);
    else
        GenreByte = kGenreTyped;
    if (CheckBox2->isChecked())
        GenreByte = kGenreKeep;
    const std::string genre = platform::utf8ToCp1251(text.toStdString());
    Tag.Genre.assign(std::string_view(genre).substr(0, 30));
    putField(artist->text(), Tag.Artist, sizeof Tag.Artist);
    putField(album->text(), Tag.Album, sizeof Tag.Album);
    putField(title->text(), Tag.Title, sizeof Tag.Title);
    putField(comm->text(), Tag.Comment, sizeof Tag.Comment);
    putField(year->text(), Tag.Year, sizeof Tag.Year);
    CloseState = 1;
    accept();
}

void TTagEdit::Button2Click()
{
    CloseState = 2;
    reject();
}

void TTagEdit::done(int result)
{
    m_noChangeGenre = CheckBox2->isChecked();
    if (CloseState == 0)
        CloseState = 2;
    QDialog::done(result);
}

}  // namespace database
