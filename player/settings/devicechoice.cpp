// The device lists of the settings dialog.
#include "player/settings/devicechoice.h"

#include "audiolib/audiolib.h"
#include "player/language/playertexts.h"

#include <QComboBox>

namespace player {

namespace {
// Far more outputs than any station's system lists; only bounds the loop.
constexpr int kMaxDevices = 64;
}  // namespace

void fillDeviceChoice(QComboBox* box, int current, const PlayerTexts& texts)
{
    box->clear();
    for (int n = 0; n < kMaxDevices; ++n) {
        const std::string name = audiolib::deviceName(n);
        if (name.empty())
            break;
        const QString shown = n == audiolib::kDeviceNoSound  ? texts[PlayerText::NoSoundDevice]
                              : n == audiolib::kDeviceDefault ? texts[PlayerText::DefaultDevice]
                                                              : QString::fromStdString(name);
        box->addItem(QStringLiteral("%1: %2").arg(n).arg(shown), n);
    }
    int index = box->findData(current);
    if (index < 0) {
        box->addItem(QStringLiteral("%1: %2").arg(current).arg(texts[PlayerText::DeviceNotListed]), current);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

int chosenDevice(const QComboBox* box)
{
    return box->currentIndex() >= 0 ? box->currentData().toInt() : -1;
}

}  // namespace player
