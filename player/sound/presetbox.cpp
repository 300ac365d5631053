// Preset boxes: filled from their folder, their text set without handlers, save and delete.
#include "player/sound/presetbox.h"

#include "platform/usermessages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace player {

namespace {

constexpr const char* kBoxCaption = "Quorvalen";

}  // namespace

QComboBox* makePresetBox(QWidget* parent, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->setMinimumContentsLength(8);  // a longer name scrolls in the box; the side panel stays narrow
    return box;
}

void onPresetTypedOrChosen(QComboBox* box, QObject* context, const std::function<void()>& load)
{
    // Not the box's text change: choosing the name already shown changes no text, and would load
    // nothing.
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, context, [load] { load(); });
    QObject::connect(box, &QComboBox::activated, context, [load] { load(); });
}

std::string presetBoxName(const QComboBox* box)
{
    return box->currentText().toStdString();
}

void setPresetBoxText(QComboBox* box, const QString& text)
{
    const QSignalBlocker quiet(box);
    box->setEditText(text);
}

void fillPresetBox(QComboBox* box, const PresetFolder& folder)
{
    const QSignalBlocker quiet(box);
    const QString text = box->currentText();
    box->clear();
    for (const std::string& name : folder.names())
        box->addItem(QString::fromStdString(name));
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

bool savePresetFromBox(QComboBox* box, const PresetFolder& folder, const void* record, std::size_t size)
{
    const std::string name = presetBoxName(box);
    if (!isValidPresetName(name)) {
        platform::messageBox(invalidPresetNameText(name), kBoxCaption, platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    std::string written;
    if (!folder.save(name, record, size, written)) {
        platform::messageBox(unableToWriteText(written), kBoxCaption, platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    fillPresetBox(box, folder);
    return true;
}

void deletePresetOfBox(QComboBox* box, const PresetFolder& folder)
{
    const std::string name = presetBoxName(box);
    // An empty box deletes nothing and needs no box: there is nothing to refuse.
    if (!name.empty() && !isValidPresetName(name)) {
        platform::messageBox(invalidPresetNameText(name), kBoxCaption, platform::MB_OK | platform::MB_ICONERROR);
        return;
    }
    folder.remove(name);
    fillPresetBox(box, folder);
    setPresetBoxText(box, QString());
}

}  // namespace player
