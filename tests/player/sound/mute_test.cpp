// Mute: the compressor gain lowered by MuteLevel with the gain slider locked, undone by a second
// click; what a profile keeps of it; and the spectrum's on/off click.
#include "soundwindow.h"

#include "controls/tbar.h"
#include "player/meters/framebox.h"
#include "player/meters/meters.h"
#include "player/profiles/profilehooks.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace player;
using soundtest::SoundWindow;

namespace {

using Calls = std::vector<std::string>;

class MuteWindow : public SoundWindow {
protected:
    platform::IniFile saveProfile()
    {
        platform::IniFile ini(std::string(), platform::IniFile::Mode::Buffered);
        form->SaveSoundProfile(ini);
        return ini;
    }
};

TEST_F(MuteWindow, MuteLowersTheGainBy30DbAndUnmuteGivesItBack)
{
    open();
    auto& decks = recordDecks();
    EXPECT_EQ(form->SpeedButton11->toolTip(), "Mute (M)");
    form->Gain->setValue(20);  // -20 dB
    decks.log.take();
    form->SpeedButton11->click();
    EXPECT_TRUE(form->MuteActive);
    EXPECT_TRUE(form->SpeedButton11->isChecked());
    EXPECT_EQ(form->Gain->value(), 30) << "limited to the -30 dB end";
    EXPECT_FALSE(form->Gain->isEnabled());
    EXPECT_EQ(form->lbcmgain->text(), "-30 dB");
    EXPECT_EQ(decks.log.take(), (Calls{"A:SetCompressorParams -30", "B:SetCompressorParams -30"}));

    form->SpeedButton11->click();
    EXPECT_FALSE(form->MuteActive);
    EXPECT_EQ(form->Gain->value(), 20);
    EXPECT_TRUE(form->Gain->isEnabled());
    EXPECT_EQ(decks.log.take(), (Calls{"A:SetCompressorParams -20", "B:SetCompressorParams -20"}));

    form->Gain->setValue(-5);  // +5 dB
    form->SpeedButton11->click();
    EXPECT_EQ(form->Gain->value(), 25);
    EXPECT_EQ(form->lbcmgain->text(), "-25 dB");
}

TEST_F(MuteWindow, AProfileSavedWhileMutedKeepsTheUnmutedGain)
{
    open();
    form->Gain->setValue(-5);
    form->SpeedButton11->click();
    EXPECT_EQ(saveProfile().readInteger("Compressor", "Gain", 99), 5);
    form->SpeedButton11->click();
    form->Gain->setValue(7);
    EXPECT_EQ(saveProfile().readInteger("Compressor", "Gain", 99), -7);
    EXPECT_EQ(saveProfile().readInteger("Options", "MuteLevel", 99), -30);
}

TEST_F(MuteWindow, AProfileLoadedWhileMutedStaysMutedAndUnmutesToItsGain)
{
    open();
    auto& decks = recordDecks();
    form->SpeedButton11->click();
    decks.log.take();
    loadSoundProfile("[Compressor]\r\nGain=-4\r\n");
    EXPECT_TRUE(form->MuteActive);
    EXPECT_FALSE(form->Gain->isEnabled());
    EXPECT_EQ(form->Gain->value(), 30);
    const Calls calls = decks.log.take();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "B:SetCompressorParams -30"), calls.end());
    form->SpeedButton11->click();
    EXPECT_EQ(form->Gain->value(), 4);
    EXPECT_EQ(form->lbcmgain->text(), "-4 dB");
}

TEST_F(MuteWindow, MuteLevelIsKeptWithinNoChangeAnd30DbLess)
{
    open();
    loadSoundProfile("[Options]\r\nMuteLevel=25\r\n");
    EXPECT_EQ(form->MuteLevel, 0);
    form->Gain->setValue(3);
    form->SpeedButton11->click();
    EXPECT_EQ(form->Gain->value(), 3) << "never louder";
    form->SpeedButton11->click();
    loadSoundProfile("[Options]\r\nMuteLevel=-12\r\n");
    EXPECT_EQ(form->Gain->value(), 0) << "the profile's gain";
    form->Gain->setValue(3);
    form->SpeedButton11->click();
    EXPECT_EQ(form->Gain->value(), 15);
    form->SpeedButton11->click();
    loadSoundProfile("[Options]\r\nMuteLevel=-100\r\n");
    EXPECT_EQ(form->MuteLevel, -30);
}

TEST_F(MuteWindow, TheSpectrumClickSwitchesItAndWipesThePicture)
{
    open();
    auto* frame = qobject_cast<FrameBox*>(form->PaintFrame);
    ASSERT_NE(frame, nullptr);
    frame->frame().fill(Qt::yellow);
    ASSERT_TRUE(form->Visualization);
    const QPointF at(5, 5);
    QMouseEvent release(QEvent::MouseButtonRelease, at, frame->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(frame, &release);
    EXPECT_FALSE(form->Visualization);
    EXPECT_EQ(frame->frame().pixelColor(10, 10), QColor(Qt::black));
    EXPECT_EQ(frame->frame().pixelColor(frame->frame().width() - 1, frame->frame().height() - 1), QColor(Qt::black));
    form->PaintFrameClick();
    EXPECT_TRUE(form->Visualization);
}

}  // namespace
