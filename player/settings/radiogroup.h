// A group box of exclusive radio buttons chosen by index, whose items can be refilled (the
// language file gives the settings dialog's groups their texts).
#pragma once

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

namespace player {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    QStringList items() const;
    void setItems(const QStringList& items);  // no item is chosen afterwards
    // -1 when none is chosen; an index outside the items chooses none.
    int itemIndex() const;
    void setItemIndex(int index);
    QRadioButton* button(int index) const;  // nullptr outside the items

signals:
    // The user chose an item (not a setItemIndex).
    void clicked(int index);

private:
    QVBoxLayout* m_layout;
    QButtonGroup* m_group;
    std::vector<QRadioButton*> m_buttons;
};

}  // namespace player
