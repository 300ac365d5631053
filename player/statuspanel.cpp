// TForm1's status panel 0: the hint, the panel's own text and the failure that stands over both.
#include "player/form1.h"

#include "controls/vtqstatusbar.h"

namespace player {

void TForm1::ShowStatus(const QString& text)
{
    StatusText = text;
    showStatusPanel();
}

void TForm1::ShowFailure(const QString& text)
{
    FailureText = text;
    showStatusPanel();
}

void TForm1::showStatusPanel()
{
    controls::TvtqStatusPanel* panel = StatusBar1->Panels().Items(0);
    if (panel == nullptr)
        return;
    // A failure is read until the next one, however the mouse moves; the hint goes with the mouse
    // and the panel's own text comes back.
    if (!FailureText.isEmpty())
        panel->setText(FailureText);
    else
        panel->setText(m_hint.isEmpty() ? StatusText : m_hint);
    panel->Hint = FailureText;  // the whole text, where the panel is too narrow for it
}

}  // namespace player
