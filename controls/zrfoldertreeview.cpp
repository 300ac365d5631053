// The folder tree: building, filling and dropping nodes, selection and keyboard handling, the
// drive watchers' reports and label editing. Navigation to a path is in zrfoldertreenav.cpp.
#include "controls/zrfoldertreeview.h"

#include "controls/zrexplorerunit.h"
#include "controls/zrfoldercombo.h"
#include "controls/zrpaths.h"
#include "media/tag.h"
#include "platform/shellicons.h"
#include "platform/usermessages.h"
#include "platform/volumes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include <cinttypes>
#include <cstdio>

namespace controls {

namespace {

// Runs the hourglass for the span of one tree operation.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

std::string lowerExtension(const std::string& name)
{
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    return QString::fromStdString(name.substr(dot)).toLower().toStdString();
}

}  // namespace

TzrFolderTreeView::TzrFolderTreeView(QWidget* parent) : QTreeWidget(parent)
{
    InitExplorerUnit();
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(19);
    setRootIsDecorated(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setMouseTracking(true);
    m_navTimer = new QTimer(this);
    m_navTimer->setSingleShot(true);
    m_navTimer->setInterval(kNavDelayMs);
    connect(m_navTimer, &QTimer::timeout, this, [this] {
        m_navTimer->stop();
        Change(currentItem());
    });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        if (!m_quiet && !m_destroying)
            HandleExpanded(node);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) {
        if (!m_quiet && !m_destroying)
            HandleCollapsed(node);
    });
    connect(this, &QTreeWidget::currentItemChanged, this, &TzrFolderTreeView::HandleCurrentChanged);
}

TzrFolderTreeView::~TzrFolderTreeView()
{
    m_destroying = true;
    // Records go with their nodes, and with the drive records their watchers: each stops its
    // thread and drops a report still waiting for this thread.
    clear();
    m_watchers.clear();
    m_linkedViews.clear();
}

void TzrFolderTreeView::SetAltColor(const QColor& color)
{
    m_altColor = color;
    for (int i = 0; i < topLevelItemCount(); ++i)
        ApplyAltColor(topLevelItem(i));
}

void TzrFolderTreeView::ApplyAltColor(QTreeWidgetItem* node)
{
    const TFileObject* record = RecordOf(node);
    if (record && (record->Attributes & platform::kAttrCompressed))
        node->setForeground(0, m_altColor);
    for (int i = 0; i < node->childCount(); ++i)
        ApplyAltColor(node->child(i));
}

void TzrFolderTreeView::SetDirLabel(QLabel* label)
{
    m_dirLabel = label;
    if (label && !m_selectionPath.empty())
        ShowPathInLabel(label, m_selectionPath, width());
}

std::string TzrFolderTreeView::Directory() const
{
    std::string path = RealPath(m_selectionPath);
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

int TzrFolderTreeView::Level(const QTreeWidgetItem* node)
{
    int level = 0;
    for (const QTreeWidgetItem* p = node ? node->parent() : nullptr; p; p = p->parent())
        ++level;
    return level;
}

TFileObject* TzrFolderTreeView::RecordOf(const QTreeWidgetItem* node)
{
    const auto* treeNode = dynamic_cast<const TzrTreeNode*>(node);
    return treeNode ? treeNode->Record.get() : nullptr;
}

bool TzrFolderTreeView::IsFilled(const QTreeWidgetItem* node)
{
    if (!node || node->childCount() == 0)
        return false;
    const auto* first = dynamic_cast<const TzrTreeNode*>(node->child(0));
    return !(first && first->Placeholder);
}

std::string TzrFolderTreeView::PathOf(const QTreeWidgetItem* node) const
{
    if (!node)
        return {};
    const std::string text = node->text(0).toStdString();
    const int level = Level(node);
    if (level == 0)
        return "?.0" + text;
    if (level == 1)
        return (node == m_myComputerNode ? "?.1" : "?.2") + text;

    std::vector<const QTreeWidgetItem*> chain;  // node up to its level-2 ancestor
    for (const QTreeWidgetItem* p = node; p && Level(p) >= 2; p = p->parent())
        chain.push_back(p);
    const QTreeWidgetItem* top = chain.back();
    if (top->parent() == m_myComputerNode) {
        const TFileObject* drive = RecordOf(top);
        std::string path = drive ? drive->Path : std::string();
        for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it)
            path += (*it)->text(0).toStdString() + "/";
        return path;
    }
    // Below the network node: a share and what is below it live at the share's mount point.
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const TFileObject* record = RecordOf(chain[i]);
        if (record && record->NetResource && record->NetResource->displayType == platform::kNetDisplayShare) {
            std::string path = record->NetResource->localName;
            for (std::size_t j = i; j-- > 0;)
                path += chain[j]->text(0).toStdString() + "/";
            return path;
        }
    }
    const TFileObject* record = RecordOf(node);
    const std::uint32_t type = record && record->NetResource ? record->NetResource->displayType : 0;
    switch (type) {
    case platform::kNetDisplayNetwork: return "?.3" + text;
    case platform::kNetDisplayDomain: return "?.4" + text;
    case platform::kNetDisplayServer: return "?.5//" + text;
    default: return text;
    }
}

TzrFolderCombo* TzrFolderTreeView::DropDownCombo() const
{
    return qobject_cast<TzrFolderCombo*>(parentWidget());
}

TzrTreeNode* TzrFolderTreeView::AddNode(QTreeWidgetItem* parent, const std::string& text, int image,
                                        int selectedImage, std::unique_ptr<TFileObject> record)
{
    auto* node = parent ? new TzrTreeNode(parent) : new TzrTreeNode(this);
    node->setText(0, QString::fromStdString(text));
    node->setFlags(node->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
    node->ImageIndex = image;
    node->SelectedIndex = selectedImage;
    node->Record = std::move(record);
    SetNodeIcon(node, false);
    if (node->Record && (node->Record->Attributes & platform::kAttrCompressed))
        node->setForeground(0, m_altColor);
    return node;
}

void TzrFolderTreeView::AddPlaceholder(QTreeWidgetItem* node)
{
    auto* placeholder = new TzrTreeNode(node);
    placeholder->setText(0, QStringLiteral("."));
    placeholder->Placeholder = true;
}

void TzrFolderTreeView::RemovePlaceholder(QTreeWidgetItem* node)
{
    if (node->childCount() == 0)
        return;
    auto* first = dynamic_cast<TzrTreeNode*>(node->child(0));
    if (first && first->Placeholder)
        delete first;
}

void TzrFolderTreeView::SetNodeIcon(QTreeWidgetItem* node, bool selected)
{
    auto* treeNode = dynamic_cast<TzrTreeNode*>(node);
    if (!treeNode || treeNode->Placeholder)
        return;
    treeNode->setIcon(0, ImageOf(selected ? treeNode->SelectedIndex : treeNode->ImageIndex));
}

void TzrFolderTreeView::BuildNodes()
{
    if (m_built)
        return;
    m_built = true;
    const int desktopIcon = SpecialFolderIcon(platform::kFolderDesktop);
    const int computerIcon = SpecialFolderIcon(platform::kFolderComputer);
    m_desktopNode = AddNode(nullptr, SpecialFolderName(platform::kFolderDesktop), desktopIcon, desktopIcon, nullptr);
    m_myComputerNode =
        AddNode(m_desktopNode, SpecialFolderName(platform::kFolderComputer), computerIcon, computerIcon, nullptr);
    AddDrives();
    SetExpandedQuietly(m_desktopNode, true);
    SetExpandedQuietly(m_myComputerNode, true);
    if (m_selectionPath.empty())
        SetDirectory("/");
}

void TzrFolderTreeView::RenameSpecialNodes()
{
    if (!m_built)
        return;
    auto rename = [](QTreeWidgetItem* node, const std::string& name) {
        if (TFileObject* record = RecordOf(node))
            record->Name = name;
        node->setText(0, QString::fromStdString(name));
    };
    rename(m_desktopNode, SpecialFolderName(platform::kFolderDesktop));
    rename(m_myComputerNode, SpecialFolderName(platform::kFolderComputer));
    if (m_networkNode != nullptr)
        rename(m_networkNode, SpecialFolderName(platform::kFolderNetwork));
    for (int i = 0; i < m_myComputerNode->childCount(); ++i) {
        QTreeWidgetItem* drive = m_myComputerNode->child(i);
        if (const TFileObject* record = RecordOf(drive))
            rename(drive, DriveName(record->Path, record->Name));
    }
    // The path of a virtual node is made of its name.
    if (IsVirtualPath(m_selectionPath) && currentItem() != nullptr) {
        m_selectionPath = PathOf(currentItem());
        ShowPathInLabel(m_dirLabel, m_selectionPath, width());
    }
}

void TzrFolderTreeView::AddDrives()
{
    TFileList list;
    list.ListDrives(m_freshDrives);
    for (int i = 0; i < list.Count(); ++i) {
        TFileObject* record = list[i];
        if (record->DriveType == platform::kDriveFixed || record->DriveType == platform::kDriveRamDisk) {
            auto watcher = std::make_unique<TFileNotify>(NotifyFlag(nkDirName) | NotifyFlag(nkSubtree));
            watcher->OnChange = [this](TFileNotify* sender, TNotifyKind) { DriveChanged(sender); };
            watcher->SetPath(record->Path);
            // Paused unless Notify is on; a paused watcher builds its watch set only when it first runs.
            watcher->Start(m_notify);
            m_watchers.push_back(watcher.get());
            record->Watcher = std::move(watcher);
        }
        const std::string name = record->Name;
        const int image = record->ImageIndex;
        auto* node = AddNode(m_myComputerNode, name, image, image, list.Take(i));
        AddPlaceholder(node);
    }
}

void TzrFolderTreeView::showEvent(QShowEvent* event)
{
    BuildNodes();
    QTreeWidget::showEvent(event);
}

void TzrFolderTreeView::LockRedraw()
{
    if (LockCount++ == 0)
        setUpdatesEnabled(false);
}

void TzrFolderTreeView::UnlockRedraw()
{
    if (LockCount > 0 && --LockCount == 0)
        setUpdatesEnabled(true);
}

void TzrFolderTreeView::SetExpandedQuietly(QTreeWidgetItem* node, bool expanded)
{
    ++m_quiet;
    node->setExpanded(expanded);
    --m_quiet;
}

bool TzrFolderTreeView::FillNode(QTreeWidgetItem* node)
{
    const std::string path = PathOf(node);
    WaitCursor wait;
    LockRedraw();
    Filling = true;
    bool ok = false;
    try {
        const TFileObject* record = RecordOf(node);
        if (record && record->NetResource && record->NetResource->displayType != platform::kNetDisplayShare)
            ok = FillFromNetwork(node);
        else
            ok = FillFromDisk(node, path);
    } catch (...) {
        ok = false;
    }
    Filling = false;
    UnlockRedraw();
    return ok;
}

bool TzrFolderTreeView::FillFromDisk(QTreeWidgetItem* node, const std::string& path)
{
    TFileList folders;
    if (!folders.ListFolder(path, kListFolders)) {
        if (TzrFolderCombo* combo = DropDownCombo()) {
            hide();
            combo->RestoreDirectory();
        }
        platform::Volume volume;
        const std::string root = platform::volumeOfPath(platform::volumeSource().volumes(), path, volume) ? volume.root : path;
        platform::messageBox("В дисководе " + root + " нет диска.", QGuiApplication::applicationDisplayName().toStdString(),
                             platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    const auto& icons = ExplorerIconIndexes();
    for (int i = 0; i < folders.Count(); ++i) {
        const std::string name = folders[i]->Name;
        auto* child = AddNode(node, name, icons.FolderClosed, icons.FolderOpen, folders.Take(i));
        if (FolderHasEntries(path + name + "/"))
            AddPlaceholder(child);
    }
    TFileList files;
    files.ListFolder(path, kListFiles);
    for (int i = 0; i < files.Count(); ++i) {
        const std::string name = files[i]->Name;
        const std::string ext = lowerExtension(name);
        const bool shown = (!ext.empty() && media::IsSupportedMediaFile(ext)) || name == "line.in" || ext == ".m3u";
        if (!shown)
            continue;
        const int image = FileIconIndex(path + name);
        AddNode(node, name, image, image, files.Take(i));
    }
    return true;
}

bool TzrFolderTreeView::FillFromNetwork(QTreeWidgetItem* node)
{
    TFileObject* record = RecordOf(node);
    if (!record)
        return false;
    TFileList list;
    list.ListNetwork(record->NetResource.get());
    const auto& icons = ExplorerIconIndexes();
    if (list.Count() == 0) {
        if (record->NetResource && record->NetResource->displayType == platform::kNetDisplayServer && node != m_networkNode) {
            auto* treeNode = static_cast<TzrTreeNode*>(node);
            treeNode->ImageIndex = treeNode->SelectedIndex = icons.ServerNoShares;
            SetNodeIcon(node, node == currentItem());
        }
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        return false;
    }
    for (int i = 0; i < list.Count(); ++i) {
        const std::string text = LastPathComponent(list[i]->Name);
        const int image = list[i]->ImageIndex;
        auto* child = AddNode(node, text, image, image == icons.FolderClosed ? icons.FolderOpen : image, list.Take(i));
        child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    return true;
}

void TzrFolderTreeView::HandleExpanded(QTreeWidgetItem* node)
{
    if (Level(node) < 2)
        return;
    LockRedraw();
    bool expand = true;
    if (Filling) {
        expand = false;
    } else {
        bool ok = IsFilled(node);
        if (!ok && !CreatingNew)
            ok = FillNode(node);
        if (ok || CreatingNew)
            RemovePlaceholder(node);
        if (!ok && !CreatingNew && node->childCount() > 0)
            expand = false;  // the placeholder stays for the next try
        const bool drive = node->parent() == m_myComputerNode;
        if (drive && node->childCount() == 0) {
            AddPlaceholder(node);
            expand = false;
        }
    }
    if (!expand) {
        SetExpandedQuietly(node, false);
    } else {
        auto* treeNode = dynamic_cast<TzrTreeNode*>(node);
        const auto& icons = ExplorerIconIndexes();
        if (treeNode && treeNode->ImageIndex == icons.FolderClosed) {
            treeNode->ImageIndex = icons.FolderOpen;
            SetNodeIcon(node, node == currentItem());
        }
        const TFileObject* record = RecordOf(node);
        if (m_notify && record && record->Watcher)
            record->Watcher->Resume();
    }
    UnlockRedraw();
}

void TzrFolderTreeView::CollapseRecursively(QTreeWidgetItem* node)
{
    for (int i = node->childCount(); i-- > 0;) {
        QTreeWidgetItem* child = node->child(i);
        CollapseRecursively(child);
        if (child->isExpanded()) {
            child->setExpanded(false);
        }
    }
}

void TzrFolderTreeView::HandleCollapsed(QTreeWidgetItem* node)
{
    LockRedraw();
    CollapseRecursively(node);
    const int level = Level(node);
    if (level > 1) {
        QTreeWidgetItem* current = currentItem();
        bool selectionBelow = false;
        for (QTreeWidgetItem* p = current ? current->parent() : nullptr; p; p = p->parent())
            if (p == node)
                selectionBelow = true;
        // The selection moves up to the collapsed node, and its path with it, so that assigning
        // the former Directory afterwards walks down again (the player's refresh does so).
        if (selectionBelow)
            setCurrentItem(node);
        const auto children = node->takeChildren();
        qDeleteAll(children);
        AddPlaceholder(node);
    }
    auto* treeNode = dynamic_cast<TzrTreeNode*>(node);
    const auto& icons = ExplorerIconIndexes();
    if (treeNode && treeNode->ImageIndex == icons.FolderOpen) {
        treeNode->ImageIndex = icons.FolderClosed;
        SetNodeIcon(node, node == currentItem());
    }
    const TFileObject* record = RecordOf(node);
    if (m_notify && record && record->Watcher)
        record->Watcher->Suspend();
    UnlockRedraw();
}

void TzrFolderTreeView::HandleCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    if (m_destroying)
        return;
    if (previous)
        SetNodeIcon(previous, false);
    if (current)
        SetNodeIcon(current, true);
    if (!m_selectingQuietly)
        Change(current);
}

void TzrFolderTreeView::Change(QTreeWidgetItem* node)
{
    if (m_navTimer->isActive() || m_destroying)
        return;
    if (node && !node->text(0).isEmpty()) {
        m_selectionPath = PathOf(node);
        ShowPathInLabel(m_dirLabel, m_selectionPath, width());
        if (!m_navigating && !DropDownCombo())
            TellSetDirectory(node);
    }
    emit changed(node);
}

void TzrFolderTreeView::TellSetDirectory(QTreeWidgetItem* node)
{
    std::string path = m_selectionPath;
    const TFileObject* record = RecordOf(node);
    if (IsVirtualPath(path) && record) {
        char id[24];
        std::snprintf(id, sizeof id, "%016" PRIX64, record->Id);
        path += "?.$";
        path += id;
    }
    for (const auto& view : std::vector<QPointer<QObject>>(m_linkedViews))
        if (view)
            QMetaObject::invokeMethod(view.data(), "SetDirectory", Qt::DirectConnection,
                                      Q_ARG(QString, QString::fromStdString(path)));
}

void TzrFolderTreeView::TellChangeFileSystem()
{
    for (const auto& view : std::vector<QPointer<QObject>>(m_linkedViews))
        if (view)
            QMetaObject::invokeMethod(view.data(), "ChangeFileSystem", Qt::DirectConnection,
                                      Q_ARG(QObject*, this), Q_ARG(bool, true));
}

bool TzrFolderTreeView::AnyViewRefreshing()
{
    for (const auto& view : std::vector<QPointer<QObject>>(m_linkedViews)) {
        bool refreshing = false;
        if (view && QMetaObject::invokeMethod(view.data(), "IsRefreshing", Qt::DirectConnection,
                                              Q_RETURN_ARG(bool, refreshing)) &&
            refreshing)
            return true;
    }
    return false;
}

void TzrFolderTreeView::AddLinkedView(QObject* view)
{
    if (!view)
        return;
    for (const auto& have : m_linkedViews)
        if (have == view)
            return;
    m_linkedViews.emplace_back(view);
}

void TzrFolderTreeView::RemoveLinkedView(QObject* view)
{
    std::erase_if(m_linkedViews, [view](const QPointer<QObject>& p) { return !p || p == view; });
}

void TzrFolderTreeView::DriveChanged(TFileNotify* sender)
{
    if (m_destroying || !m_myComputerNode)
        return;
    QTreeWidgetItem* driveNode = nullptr;
    for (int i = 0; i < m_myComputerNode->childCount(); ++i) {
        const TFileObject* record = RecordOf(m_myComputerNode->child(i));
        if (record && record->Watcher.get() == sender)
            driveNode = m_myComputerNode->child(i);
    }
    if (!driveNode || !IsFilled(driveNode))
        return;
    if (m_navigating) {
        ChangePending = true;
        return;
    }
    const std::string former = m_selectionPath;
    const bool expandReached = IsFilled(currentItem());
    m_selectionPath.clear();
    try {
        Navigate(former, expandReached);
    } catch (...) {
    }
    const TFileObject* drive = RecordOf(driveNode);
    if (m_selectionPath != former)
        Change(currentItem());
    else if (drive && former.rfind(drive->Path, 0) == 0)
        TellChangeFileSystem();
}

void TzrFolderTreeView::SetNotify(bool on)
{
    if (on == m_notify)
        return;
    m_notify = on;
    if (!m_myComputerNode)
        return;
    for (int i = 0; i < m_myComputerNode->childCount(); ++i) {
        QTreeWidgetItem* node = m_myComputerNode->child(i);
        const TFileObject* record = RecordOf(node);
        if (!node->isExpanded() || !record || !record->Watcher)
            continue;
        if (on)
            record->Watcher->Resume();
        else
            record->Watcher->Suspend();
    }
}

void TzrFolderTreeView::SetNetBrowse(bool on)
{
    BuildNodes();
    if (on == m_netBrowse)
        return;
    if (on) {
        auto root = NetworkRootObject();
        if (!root)
            return;  // nothing mounted to browse
        const std::string name = root->Name;
        const int image = root->ImageIndex;
        m_networkNode = AddNode(m_desktopNode, name, image, image, std::move(root));
        m_networkNode->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        FillNode(m_networkNode);
        m_netBrowse = true;
    } else {
        QTreeWidgetItem* node = m_networkNode;
        m_networkNode = nullptr;
        m_netBrowse = false;
        delete node;
    }
    TellChangeFileSystem();
}

void TzrFolderTreeView::FullCollapse()
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = topLevelItem(i);
        CollapseRecursively(top);
        top->setExpanded(false);
    }
}

void TzrFolderTreeView::ExpandSelected()
{
    if (QTreeWidgetItem* node = currentItem())
        node->setExpanded(true);
}

void TzrFolderTreeView::keyPressEvent(QKeyEvent* event)
{
    const bool modified = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    QTreeWidgetItem* node = currentItem();
    if (modified && (event->key() == Qt::Key_Right || event->key() == Qt::Key_Left)) {
        if (node)
            node->setExpanded(event->key() == Qt::Key_Right);
        event->accept();
        return;
    }
    if (TzrFolderCombo* combo = DropDownCombo()) {
        if (event->key() == Qt::Key_Escape) {
            hide();
            combo->RestoreDirectory();
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            combo->Accept();
            event->accept();
            return;
        }
    }
    if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) {
        event->accept();
        if (AnyViewRefreshing())
            return;
        if (!DropDownCombo())
            m_navTimer->start();  // one report a second after the last of a run of presses
        QTreeWidgetItem* next = node ? (event->key() == Qt::Key_Down ? itemBelow(node) : itemAbove(node)) : nullptr;
        if (next)
            setCurrentItem(next);
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

bool TzrFolderTreeView::event(QEvent* event)
{
    // A dropped tree gets the presses outside itself, which the scroll area would drop.
    if (event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        TzrFolderCombo* combo = DropDownCombo();
        if (combo && !rect().contains(press->position().toPoint())) {
            hide();
            combo->RestoreDirectory();
            return true;
        }
    }
    return QTreeWidget::event(event);
}

void TzrFolderTreeView::hideEvent(QHideEvent* event)
{
    // Closed by the system (focus lost, a press elsewhere): the combo's folder stays.
    if (TzrFolderCombo* combo = DropDownCombo(); combo && !m_destroying && !combo->m_accepting)
        combo->RestoreDirectory();
    QTreeWidget::hideEvent(event);
}

void TzrFolderTreeView::mousePressEvent(QMouseEvent* event)
{
    if (TzrFolderCombo* combo = DropDownCombo(); combo && event->button() == Qt::LeftButton) {
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
            setCurrentItem(item);
            combo->Accept();
            return;
        }
    }
    if (AnyViewRefreshing())
        return;
    QTreeWidget::mousePressEvent(event);
}

void TzrFolderTreeView::mouseMoveEvent(QMouseEvent* event)
{
    if (DropDownCombo()) {
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint()); item && item != currentItem())
            setCurrentItem(item);
    }
    QTreeWidget::mouseMoveEvent(event);
}

void TzrFolderTreeView::enterEvent(QEnterEvent* event)
{
    MouseInside = true;
    QTreeWidget::enterEvent(event);
}

void TzrFolderTreeView::leaveEvent(QEvent* event)
{
    MouseInside = false;
    QTreeWidget::leaveEvent(event);
}

bool TzrFolderTreeView::CanEdit(QTreeWidgetItem* node) const
{
    if (!node)
        return false;
    if (CreatingNew)
        return true;
    // Drive roots, the virtual nodes and anything under a virtual selection cannot be renamed.
    return !m_readOnly && !IsVirtualPath(m_selectionPath) && RecordOf(node) && Level(node) >= 3 &&
           !IsVirtualPath(PathOf(node));
}

bool TzrFolderTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    QTreeWidgetItem* node = itemFromIndex(index);
    if (!CanEdit(node))
        return false;
    if (!QTreeWidget::edit(index, trigger, event))
        return false;
    m_editingNode = node;
    m_editCommitted = false;
    return true;
}

void TzrFolderTreeView::commitData(QWidget* editor)
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    QTreeWidgetItem* node = m_editingNode;
    m_editCommitted = true;
    m_editingNode = nullptr;
    if (!node)
        return;
    const std::string text = line ? line->text().toStdString() : std::string();
    EndEdit(node, text.empty() ? std::nullopt : std::optional<std::string>(text));
}

void TzrFolderTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (!m_editCommitted && m_editingNode) {
        QTreeWidgetItem* node = m_editingNode;
        m_editingNode = nullptr;
        m_editCommitted = true;
        EndEdit(node, std::nullopt);
    }
    QTreeWidget::closeEditor(editor, hint);
}

QTreeWidgetItem* TzrFolderTreeView::BeginNewFolder(QTreeWidgetItem* parent, const std::string& name)
{
    if (!parent || IsVirtualPath(PathOf(parent)) || Level(parent) < 2)
        return nullptr;
    parent->setExpanded(true);  // reads the folder first, so the new name sorts among the others
    if (!parent->isExpanded() && parent->childCount() > 0)
        return nullptr;         // no medium
    CreatingNew = true;
    const auto& icons = ExplorerIconIndexes();
    auto record = std::make_unique<TFileObject>();
    record->Name = record->Path = name;
    record->Attributes = platform::kAttrDirectory;
    return AddNode(parent, name, icons.FolderClosed, icons.FolderOpen, std::move(record));
}

void TzrFolderTreeView::EndEdit(QTreeWidgetItem* node, std::optional<std::string> text)
{
    if (!text || text->empty()) {
        if (CreatingNew) {
            bool remove = true;
            if (OnNewEditCancel)
                OnNewEditCancel(this, node, remove);
            if (remove) {
                delete node;
                node = nullptr;
            }
        } else if (OnEditCancel) {
            OnEditCancel(this, node);
        }
    } else {
        std::string s = *text;
        HandleEdited(node, s);
        if (node && !s.empty())
            node->setText(0, QString::fromStdString(s));
    }
    CreatingNew = false;
    if (OnEndCreating)
        OnEndCreating(this, node);
    Change(node ? node : currentItem());
}

void TzrFolderTreeView::HandleEdited(QTreeWidgetItem*& node, std::string& text)
{
    if (OnEdited)
        OnEdited(this, node, text);
    const bool validName = !text.empty() && text.find('/') == std::string::npos && text != "." && text != "..";
    TFileObject* record = RecordOf(node);
    if (CreatingNew) {
        if (validName)
            node->setText(0, QString::fromStdString(text));
        std::string path = PathOf(node);
        if (path.size() > 1 && path.back() == '/')
            path.pop_back();
        if (validName && platform::makeFolder(path)) {
            if (record)
                record->Name = record->Path = text;
            if (node->parent())
                node->parent()->sortChildren(0, Qt::AscendingOrder);
            if (node != currentItem())
                TellChangeFileSystem();
        } else {
            platform::messageBox("Невозможно создать каталог " + path,
                                 QGuiApplication::applicationDisplayName().toStdString(),
                                 platform::MB_OK | platform::MB_ICONERROR);
            delete node;
            node = nullptr;
            text.clear();
        }
        return;
    }
    std::string oldName, newName;
    const bool isFolder = !record || (record->Attributes & platform::kAttrDirectory);
    if (IsVirtualPath(m_selectionPath)) {
        oldName = node->text(0).toStdString();
        newName = text;
        text.clear();
    } else {
        oldName = PathOf(node);
        if (oldName.size() > 1 && oldName.back() == '/')
            oldName.pop_back();
        newName = oldName.substr(0, oldName.rfind('/') + 1) + text;
        if (!validName) {
            text.clear();
        } else if (newName != oldName && !platform::renameNoReplace(oldName, newName)) {
            text.clear();
        } else if (record) {
            record->Name = text;
            record->Path = text;
        }
    }
    if (OnFileRename)
        OnFileRename(this, oldName, newName, !text.empty(), isFolder);
}

}  // namespace controls
