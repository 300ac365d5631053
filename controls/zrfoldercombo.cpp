// The folder combo: its edit, drop-down button and the folder tree it drops down.
#include "controls/zrfoldercombo.h"

#include "controls/zrexplorerunit.h"
#include "controls/zrfoldertreeview.h"
#include "controls/zrpaths.h"
#include "platform/usermessages.h"
#include "platform/volumes.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>

namespace controls {

TzrFolderCombo::TzrFolderCombo(QWidget* parent) : QLineEdit(parent)
{
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    setReadOnly(true);
    setFixedHeight(kHeight);
    resize(150, kHeight);

    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("Button"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->resize(17, 17);
    connect(m_button, &QToolButton::clicked, this, &TzrFolderCombo::DropDown);

    m_tree = new TzrFolderTreeView(this);
    m_tree->setWindowFlags(Qt::Popup);
    m_tree->setEnabled(false);
    m_tree->hide();
    m_tree->resize(width(), 200);
    m_tree->SetDirLabel(m_dirLabel);
    m_tree->SetAltColor(m_altColor);
    m_tree->SetNotify(m_notify);
    m_tree->SetFreshDrives(m_freshDrives);
    m_tree->setIndentation(m_indent);
    m_tree->BuildNodes();
    if (!m_keptPath.empty())
        m_tree->SetDirectory(m_keptPath);
    ShowSelectedNode();
    setTextMargins(23 - 2, 0, m_button->width() + 2, 0);
}

TzrFolderCombo::~TzrFolderCombo() = default;

void TzrFolderCombo::ShowSelectedNode()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    if (!node && m_tree->topLevelItemCount() > 0)
        node = m_tree->topLevelItem(0);
    if (!node)
        return;
    const auto* treeNode = dynamic_cast<const TzrTreeNode*>(node);
    m_iconIndex = treeNode ? treeNode->ImageIndex : -1;
    setText(node->text(0));
    m_keptPath = m_tree->SelectionPath();
    UpdateTextColour();
}

void TzrFolderCombo::SetAltColor(const QColor& color)
{
    m_altColor = color;
    m_tree->SetAltColor(color);
    UpdateTextColour();
}

void TzrFolderCombo::SetDirLabel(QLabel* label)
{
    m_dirLabel = label;
    m_tree->SetDirLabel(label);
}

std::string TzrFolderCombo::Directory() const
{
    return RealPath(m_keptPath);
}

void TzrFolderCombo::SetDirectory(const std::string& path)
{
    m_tree->SetDirectory(path);
    Accept();
}

void TzrFolderCombo::SetFreshDrives(bool on)
{
    m_freshDrives = on;
    m_tree->SetFreshDrives(on);
}

void TzrFolderCombo::SetIndent(int indent)
{
    m_indent = indent;
    m_tree->setIndentation(indent);
}

void TzrFolderCombo::SetNotify(bool on)
{
    m_notify = on;
    m_tree->SetNotify(on);
}

void TzrFolderCombo::SetShowButtons(bool on)
{
    m_showButtons = on;
    m_tree->setRootIsDecorated(on);
}

void TzrFolderCombo::SetShowLines(bool on)
{
    m_showLines = on;
    m_tree->setStyleSheet(on ? QString() : QStringLiteral("QTreeView::branch { border-image: none; }"));
}

void TzrFolderCombo::SetNetBrowse(bool on)
{
    m_netBrowse = on;
    const std::string before = m_tree->SelectionPath();
    m_tree->SetNetBrowse(on);
    if (m_tree->SelectionPath() != before)
        m_tree->TellSetDirectory(m_tree->currentItem());
    Accept();
}

void TzrFolderCombo::HideTree()
{
    m_tree->setEnabled(false);
    m_tree->hide();
}

void TzrFolderCombo::DropDown()
{
    if (m_tree->isEnabled() && m_tree->isVisible())
        return;
    m_tree->move(mapToGlobal(QPoint(0, height())));
    m_tree->resize(width(), 200);
    if (QTreeWidgetItem* root = m_tree->topLevelItem(0)) {
        if (!root->isExpanded())
            root->setExpanded(true);
        if (!m_tree->currentItem())
            m_tree->setCurrentItem(root);
    }
    m_tree->setEnabled(true);
    m_tree->show();
    m_tree->setFocus();
}

void TzrFolderCombo::Accept()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    if (!node)
        return;
    m_accepting = true;  // hiding the tree must not take its selection back
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_accepting};
    const TFileObject* record = TzrFolderTreeView::RecordOf(node);
    const bool driveNode = node->parent() && node->parent() == m_tree->MyComputerNode();
    if (driveNode && record &&
        (record->DriveType == platform::kDriveRemovable || record->DriveType == platform::kDriveCdrom)) {
        while (!DriveHasMedium(record->Path)) {
            HideTree();
            const int answer = platform::messageBox("Нет доступа к устройству " + record->Path + "\r\rУстройство не готово.",
                                                    "Ошибка", platform::MB_ICONERROR | platform::MB_RETRYCANCEL);
            if (answer != platform::IDRETRY) {
                RestoreDirectory();
                return;
            }
        }
    }
    const auto* treeNode = dynamic_cast<const TzrTreeNode*>(node);
    m_iconIndex = treeNode ? treeNode->ImageIndex : -1;
    SetDisplay(node->text(0).toStdString());
    HideTree();
    m_tree->TellSetDirectory(node);
    update();
}

void TzrFolderCombo::SetDisplay(const std::string& text)
{
    setText(QString::fromStdString(text));
    m_keptPath = m_tree->SelectionPath();
    UpdateTextColour();
}

void TzrFolderCombo::RestoreDirectory()
{
    m_tree->SetDirectory(m_keptPath);
}

void TzrFolderCombo::UpdateTextColour()
{
    const TFileObject* record = TzrFolderTreeView::RecordOf(m_tree->currentItem());
    QPalette pal = palette();
    const bool compressed = record && (record->Attributes & platform::kAttrCompressed);
    pal.setColor(QPalette::Text, compressed ? m_altColor : QPalette().color(QPalette::Text));
    setPalette(pal);
}

void TzrFolderCombo::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_F4:
        DropDown();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Accept();
        event->accept();
        return;
    default:
        break;
    }
    if (m_tree->isVisible()) {
        if (event->key() == Qt::Key_Escape) {
            HideTree();
            RestoreDirectory();
            event->accept();
            return;
        }
        m_tree->keyPressEvent(event);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TzrFolderCombo::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    m_button->setGeometry(width() - m_button->width() - 4, 2, m_button->width(), height() - 4);
    if (!m_tree->isVisible())
        m_tree->resize(width(), m_tree->height());
}

void TzrFolderCombo::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    const QIcon icon = ImageOf(m_iconIndex);
    if (icon.isNull())
        return;
    QPainter painter(this);
    icon.paint(&painter, QRect(5, height() / 2 - 8, 16, 16));
}

}  // namespace controls
