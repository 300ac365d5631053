// A read-only one-line edit that shows a folder with its icon and drops down a folder tree to
// pick another, in the manner of a combo box.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPointer>

#include <string>

#include <QLabel>
class QToolButton;

namespace controls {

class TzrFolderTreeView;

class TzrFolderCombo : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kHeight = 21;

    explicit TzrFolderCombo(QWidget* parent = nullptr);
    ~TzrFolderCombo() override;

    QColor AltColor() const { return m_altColor; }
    void SetAltColor(const QColor& color);
    QLabel* DirLabel() const { return m_dirLabel; }
    void SetDirLabel(QLabel* label);
    // Read: the real form of the accepted folder. Write: the tree walks there and it is accepted.
    std::string Directory() const;
    void SetDirectory(const std::string& path);
    bool FreshDrives() const { return m_freshDrives; }
    void SetFreshDrives(bool on);
    int Indent() const { return m_indent; }
    void SetIndent(int indent);
    bool NetBrowse() const { return m_netBrowse; }
    void SetNetBrowse(bool on);
    bool Notify() const { return m_notify; }
    void SetNotify(bool on);
    bool ShowButtons() const { return m_showButtons; }
    void SetShowButtons(bool on);
    bool ShowLines() const { return m_showLines; }
    void SetShowLines(bool on);
    bool RightClickSelect() const { return m_rightClickSelect; }
    void SetRightClickSelect(bool on) { m_rightClickSelect = on; }

    TzrFolderTreeView* Tree() const { return m_tree; }
    QToolButton* Button() const { return m_button; }
    int IconIndex() const { return m_iconIndex; }
    const std::string& KeptPath() const { return m_keptPath; }

    void DropDown();
    void Accept();
    void SetDisplay(const std::string& text);
    void RestoreDirectory();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class TzrFolderTreeView;
    void HideTree();
    void ShowSelectedNode();
    void UpdateTextColour();

    QColor m_altColor{Qt::blue};
    QToolButton* m_button = nullptr;
    std::string m_keptPath;
    QPointer<QLabel> m_dirLabel;
    bool m_freshDrives = false;
    int m_iconIndex = -1;
    int m_indent = 19;
    bool m_notify = false;
    bool m_netBrowse = false;
    bool m_rightClickSelect = false;
    bool m_showButtons = true;
    bool m_showLines = true;
    TzrFolderTreeView* m_tree = nullptr;
    bool m_accepting = false;  // the tree is hidden because a folder was taken
};

}  // namespace controls
