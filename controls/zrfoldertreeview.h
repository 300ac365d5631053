// The player's file browser: a lazily filled tree of the desktop, the computer's drives with
// their folders and playable files, and optionally the mounted network shares.
#pragma once

#include "controls/zrfileobject.h"

#include <QColor>
#include <QPointer>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QLabel>
class QTimer;

namespace controls {

class TzrFolderCombo;

// A tree node with the record it owns; a node without a record is the desktop, the computer or
// the "." placeholder that stands for children not yet read.
class TzrTreeNode : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    std::unique_ptr<TFileObject> Record;
    int ImageIndex = -1;
    int SelectedIndex = -1;
    bool Placeholder = false;
};

class TzrFolderTreeView : public QTreeWidget {
    Q_OBJECT
public:
    using TTVEditCancelEvent = std::function<void(TzrFolderTreeView* sender, QTreeWidgetItem* node)>;
    using TTVNewEditCancelEvent = std::function<void(TzrFolderTreeView* sender, QTreeWidgetItem* node, bool& Delete)>;
    using TTVEditedEvent = std::function<void(TzrFolderTreeView* sender, QTreeWidgetItem* node, std::string& S)>;
    using TTVBeginCreatingEvent = std::function<void(TzrFolderTreeView* sender, QTreeWidgetItem* node)>;
    using TTVEndCreatingEvent = std::function<void(TzrFolderTreeView* sender, QTreeWidgetItem* node)>;
    using TFileRenameEvent = std::function<void(TzrFolderTreeView* sender, const std::string& OldName,
                                                const std::string& NewName, bool Success, bool IsFolder)>;

    static constexpr int kNavDelayMs = 1000;

    explicit TzrFolderTreeView(QWidget* parent = nullptr);
    ~TzrFolderTreeView() override;

    QColor AltColor() const { return m_altColor; }
    void SetAltColor(const QColor& color);
    QLabel* DirLabel() const { return m_dirLabel; }
    void SetDirLabel(QLabel* label);
    // Read: the real form of the selection without its trailing "/" ("/" stays "/").
    std::string Directory() const;
    // Write: walk to the path as far as it leads and select the node reached.
    void SetDirectory(const std::string& path);
    bool NetBrowse() const { return m_netBrowse; }
    void SetNetBrowse(bool on);
    bool Notify() const { return m_notify; }
    void SetNotify(bool on);
    bool FreshDrives() const { return m_freshDrives; }
    void SetFreshDrives(bool on) { m_freshDrives = on; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool on) { m_readOnly = on; }
    const std::string& SelectionPath() const { return m_selectionPath; }
    bool Navigating() const { return m_navigating; }
    bool ParentChanging = false;

    TTVEditCancelEvent OnEditCancel;
    TTVNewEditCancelEvent OnNewEditCancel;
    TTVEditedEvent OnEdited;
    TTVBeginCreatingEvent OnBeginCreating;  // nothing fires it: no command starts a new folder
    TTVEndCreatingEvent OnEndCreating;
    TFileRenameEvent OnFileRename;

    // Components told of selection and file-system changes through their invokable methods
    // SetDirectory(QString), IsRefreshing() -> bool and ChangeFileSystem(QObject*, bool).
    void AddLinkedView(QObject* view);
    void RemoveLinkedView(QObject* view);

    // Makes the desktop, the computer and the drive nodes once (done on first showing too).
    void BuildNodes();
    // Names the desktop, the computer, the network and the root file system's nodes again, as
    // SpecialFolderName and DriveName give them now (after a change of the program's language).
    void RenameSpecialNodes();
    QTreeWidgetItem* DesktopNode() const { return m_desktopNode; }
    QTreeWidgetItem* MyComputerNode() const { return m_myComputerNode; }
    QTreeWidgetItem* NetworkNode() const { return m_networkNode; }
    const std::vector<TFileNotify*>& Watchers() const { return m_watchers; }
    QTimer* NavTimer() const { return m_navTimer; }

    static int Level(const QTreeWidgetItem* node);
    static TFileObject* RecordOf(const QTreeWidgetItem* node);
    static bool IsFilled(const QTreeWidgetItem* node);
    std::string PathOf(const QTreeWidgetItem* node) const;

    // The selection-change work: path, label, linked views, then the changed() signal.
    void Change(QTreeWidgetItem* node);
    // A watcher's report, on the user-interface thread.
    void DriveChanged(TFileNotify* sender);
    // End of label editing: no text means cancelled.
    void EndEdit(QTreeWidgetItem* node, std::optional<std::string> text);
    // Starts naming a new folder below the node (an optional command; nothing in the player uses it).
    QTreeWidgetItem* BeginNewFolder(QTreeWidgetItem* parent, const std::string& name);

    void FullCollapse();
    void ExpandSelected();
    using QTreeWidget::edit;

signals:
    void changed(QTreeWidgetItem* node);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class TzrFolderCombo;

    TzrFolderCombo* DropDownCombo() const;
    TzrTreeNode* AddNode(QTreeWidgetItem* parent, const std::string& text, int image, int selectedImage,
                         std::unique_ptr<TFileObject> record);
    void AddPlaceholder(QTreeWidgetItem* node);
    void RemovePlaceholder(QTreeWidgetItem* node);
    void SetNodeIcon(QTreeWidgetItem* node, bool selected);
    void AddDrives();
    bool FillNode(QTreeWidgetItem* node);
    bool FillFromDisk(QTreeWidgetItem* node, const std::string& path);
    bool FillFromNetwork(QTreeWidgetItem* node);
    void HandleExpanded(QTreeWidgetItem* node);
    void HandleCollapsed(QTreeWidgetItem* node);
    void HandleCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void HandleEdited(QTreeWidgetItem*& node, std::string& text);
    void Navigate(const std::string& path, bool expandReached);
    QTreeWidgetItem* FindChild(QTreeWidgetItem* node, const std::string& component) const;
    void SelectByNavigation(QTreeWidgetItem* node);
    bool CanEdit(QTreeWidgetItem* node) const;
    bool AnyViewRefreshing();
    void TellSetDirectory(QTreeWidgetItem* node);
    void TellChangeFileSystem();
    void LockRedraw();
    void UnlockRedraw();
    void SetExpandedQuietly(QTreeWidgetItem* node, bool expanded);
    void CollapseRecursively(QTreeWidgetItem* node);
    void ApplyAltColor(QTreeWidgetItem* node);

    QColor m_altColor{Qt::blue};
    std::string m_selectionPath;
    QPointer<QLabel> m_dirLabel;
    bool m_freshDrives = false;
    bool m_readOnly = false;
    bool Filling = false;
    bool CreatingNew = false;
    bool m_navigating = false;
    bool MouseInside = false;
    QTreeWidgetItem* m_desktopNode = nullptr;
    QTreeWidgetItem* m_myComputerNode = nullptr;
    bool ChangePending = false;
    bool m_netBrowse = false;
    QTreeWidgetItem* m_networkNode = nullptr;
    bool m_notify = false;
    std::vector<TFileNotify*> m_watchers;
    QTimer* m_navTimer = nullptr;
    int LockCount = 0;
    std::vector<QPointer<QObject>> m_linkedViews;

    bool m_built = false;
    bool m_destroying = false;
    int m_quiet = 0;            // expansion changes made by the tree itself
    bool m_selectingQuietly = false;
    bool m_editCommitted = false;
    QTreeWidgetItem* m_editingNode = nullptr;
};

}  // namespace controls
