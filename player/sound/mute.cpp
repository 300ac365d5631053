// Mute (the compressor gain lowered by MuteLevel and the gain slider locked) and the spectrum's
// on/off click.
#include "player/form1.h"

#include "controls/tbar.h"
#include "player/meters/framebox.h"
#include "player/meters/meters.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QToolButton>

namespace player {

void TForm1::SpeedButton11Click()
{
    MuteActive = !MuteActive;
    if (SpeedButton11->isChecked() != MuteActive) {
        const QSignalBlocker quiet(SpeedButton11);
        SpeedButton11->setChecked(MuteActive);
    }
    if (MuteActive) {
        GainBeforeMute = Gain->value();
        Gain->setValue(GainBeforeMute - MuteLevel);  // the slider stops at its -30 dB end
    } else {
        Gain->setValue(GainBeforeMute);
    }
    Gain->setEnabled(!MuteActive);
}

void TForm1::PaintFrameClick()
{
    Visualization = !Visualization;
    auto* frame = qobject_cast<FrameBox*>(PaintFrame);
    if (frame == nullptr || !Meters)
        return;
    // The last picture goes: with the spectrum off it would stand still on the screen.
    QPainter painter(&frame->frame());
    painter.fillRect(QRect(0, 0, 400, 200), Meters->spectrum.BackColor);
    frame->update();
}

}  // namespace player
