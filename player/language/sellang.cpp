// The language dialog.
#include "player/language/sellang.h"

#include "engine/enginesettings.h"
#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "platform/usermessages.h"
#include "player/form1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace player {

TSelLang::TSelLang(TForm1& owner) : QDialog(&owner), m_owner(owner)
{
    setObjectName(QStringLiteral("SelLang"));
    setWindowTitle(QStringLiteral("Language"));
    Label1 = new QLabel(QStringLiteral("Select program language:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { Button1Click(); });
}

void TSelLang::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TSelLang::FormShow()
{
    ListBox1->clear();
    Folders.clear();
    for (const InstalledLanguage& language : InstalledLanguages()) {
        ListBox1->addItem(QString::fromStdString(language.name));
        Folders.push_back(language.folder);
    }
}

void TSelLang::Button1Click()
{
    m_accepted = true;
    accept();
}

void TSelLang::Button2Click()
{
    reject();
}

void TSelLang::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TSelLang::FormClose()
{
    if (!m_accepted)
        return;
    m_accepted = false;
    const int row = ListBox1->currentRow();
    const bool selected = row >= 0 && static_cast<std::size_t>(row) < Folders.size() &&
                          ListBox1->item(row) != nullptr && ListBox1->item(row)->isSelected();
    const std::string folder = selected ? Folders[static_cast<std::size_t>(row)] : std::string("En");
    m_owner.LangDir = folder;
    engine::EngineSettings settings = engine::engineSettings();
    settings.LangDir = folder;
    engine::setEngineSettings(settings);
    platform::IniFile ini(platform::programPath("system.ini"), platform::IniFile::Mode::Buffered);
    ini.writeString("Options", "LangDir", folder);
    if (!ini.flush())
        platform::messageBox(m_owner.Texts.Text(PlayerText::CannotWrite, {ini.path()}), "Quorvalen",
                             platform::MB_OK | platform::MB_ICONERROR);
    m_owner.LoadLanguage();
}

}  // namespace player
