// Walking the folder tree to a path: the work behind writing Directory and behind a drive
// watcher's report.
#include "controls/zrfoldertreeview.h"

#include "controls/zrpaths.h"

#include <QGuiApplication>

namespace controls {

namespace {

// The text before the first "/", leaving the rest; without one, the whole text trimmed of blanks.
std::string splitComponent(std::string& rest)
{
    const auto slash = rest.find('/');
    std::string part;
    if (slash == std::string::npos) {
        part = rest;
        rest.clear();
        const auto first = part.find_first_not_of(' ');
        const auto last = part.find_last_not_of(' ');
        part = first == std::string::npos ? std::string() : part.substr(first, last - first + 1);
    } else {
        part = rest.substr(0, slash);
        rest.erase(0, slash + 1);
    }
    return part;
}

bool startsWithFolded(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && SameFileName(text.substr(0, prefix.size()), prefix);
}

}  // namespace

void TzrFolderTreeView::SetDirectory(const std::string& path)
{
    BuildNodes();
    if (path.empty() || SameFileName(path, m_selectionPath))
        return;
    m_navigating = true;
    do {
        ChangePending = false;
        try {
            Navigate(path, false);
        } catch (...) {
        }
        Change(currentItem());
    } while (ChangePending);
    m_navigating = false;
}

QTreeWidgetItem* TzrFolderTreeView::FindChild(QTreeWidgetItem* node, const std::string& component) const
{
    // An exact match wins over one that differs only in case.
    QTreeWidgetItem* folded = nullptr;
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        const TFileObject* record = RecordOf(child);
        if (!record)
            continue;
        const std::string name = record->Path.rfind("//", 0) == 0 ? LastPathComponent(record->Path) : record->Path;
        if (name == component)
            return child;
        if (!folded && SameFileName(name, component))
            folded = child;
    }
    return folded;
}

void TzrFolderTreeView::SelectByNavigation(QTreeWidgetItem* node)
{
    scrollToItem(node);
    m_selectingQuietly = true;
    setCurrentItem(node);
    m_selectingQuietly = false;
    m_selectionPath = PathOf(node);
}

void TzrFolderTreeView::Navigate(const std::string& path, bool expandReached)
{
    struct Cleanup {
        TzrFolderTreeView* tree;
        ~Cleanup()
        {
            tree->UnlockRedraw();
            QGuiApplication::restoreOverrideCursor();
            tree->m_navigating = false;
            if (tree->isVisible() && tree->window()->isVisible())
                tree->setFocus();
        }
    };
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    LockRedraw();
    Cleanup cleanup{this};
    m_navigating = true;

    QTreeWidgetItem* node = m_myComputerNode;
    if (!node)
        return;
    // The drive is the one whose root is the longest prefix of the path, compared exactly first.
    QTreeWidgetItem* drive = nullptr;
    std::size_t best = 0;
    for (const bool exact : {true, false}) {
        for (int i = 0; i < m_myComputerNode->childCount(); ++i) {
            QTreeWidgetItem* child = m_myComputerNode->child(i);
            const TFileObject* record = RecordOf(child);
            if (!record || record->Path.empty())
                continue;
            std::string root = record->Path;
            const std::string bare = root.size() > 1 ? root.substr(0, root.size() - 1) : root;
            const bool match = exact ? (path.rfind(root, 0) == 0 || path == bare)
                                     : (startsWithFolded(path, root) || SameFileName(path, bare));
            if (match && root.size() > best) {
                best = root.size();
                drive = child;
            }
        }
        if (drive)
            break;
    }
    std::string rest;
    if (drive) {
        node = drive;
        rest = path.size() > best ? path.substr(best) : std::string();
    }
    std::string component = splitComponent(rest);
    while (drive && !component.empty()) {
        node->setExpanded(true);
        QTreeWidgetItem* child = FindChild(node, component);
        if (!child)
            break;
        node = child;
        component = splitComponent(rest);
    }
    SelectByNavigation(node);
    Change(node);
    if (expandReached)
        node->setExpanded(true);
}

}  // namespace controls
