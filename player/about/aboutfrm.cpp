// The About box.
#include "player/about/aboutfrm.h"

#include "audiolib/audiolib.h"
#include "controls/vqurllabel.h"
#include "media/tag.h"
#include "platform/programfolder.h"
#include "player/about/namedlabel.h"
#include "player/emblem.h"
#include "player/opendocument.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QToolButton>
#include <QUrl>

namespace player {

Taboutfrm::Taboutfrm(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("aboutfrm"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    auto* grid = new QGridLayout(this);
    Image1 = namedLabel(this, "Image1");
    Image1->setPixmap(QuorvalenEmblem(48));
    grid->addWidget(Image1, 0, 0, 3, 1, Qt::AlignTop);
    Label1 = namedLabel(this, "Label1", QStringLiteral("Quorvalen: эфирный плеер"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    grid->addWidget(Label1, 0, 1);
    Label4 = namedLabel(this, "Label4");
    Label4->setFont(bold);
    grid->addWidget(Label4, 1, 1);
    VqURLLabel1 = new controls::TVqURLLabel(this);
    VqURLLabel1->setObjectName(QStringLiteral("VqURLLabel1"));
    VqURLLabel1->setText(QStringLiteral("README"));
    grid->addWidget(VqURLLabel1, 2, 1);
    Label6 = namedLabel(this, "Label6", QStringLiteral("Audio library:"));
    Label7 = namedLabel(this, "Label7");
    Label6->hide();
    Label7->hide();
    grid->addWidget(Label6, 3, 0);
    grid->addWidget(Label7, 3, 1);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("OK"));
    grid->addWidget(SpeedButton1, 4, 1, Qt::AlignRight);
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::close);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Taboutfrm::showEvent(QShowEvent* event)
{
    if (!m_shown) {
        m_shown = true;
        FormShow();
        if (const QWidget* main = parentWidget()) {
            adjustSize();
            move(main->frameGeometry().center() - rect().center());
        }
    }
    QDialog::showEvent(event);
}

void Taboutfrm::FormShow()
{
    const std::string version = media::GetFileVersionString(QCoreApplication::applicationFilePath().toStdString());
    Label4->setText(QString::fromStdString(version.empty() ? QV_VERSION : version));
    const std::uint32_t library = audiolib::getVersion();
    Label7->setText(QStringLiteral("%1.%2").arg(library & 0xFFFF).arg(library >> 16));
    const QString readme = QString::fromStdString(platform::programPath("README.md"));
    VqURLLabel1->URL = QUrl::fromLocalFile(readme).toString();
    VqURLLabel1->OnOpenFailed = [readme](QObject*) { SayWhereDocumentIs(readme.toStdString()); };
    VqURLLabel1->setVisible(QFileInfo::exists(readme));
}

}  // namespace player
