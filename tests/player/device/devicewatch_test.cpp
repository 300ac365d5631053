// The player's output device: one that cannot be opened is no bad file, and what the operator is
// told when the output is lost, stands in on "no sound" or is back.
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "controls/vtqstatusbar.h"
#include "engine/audioengine.h"
#include "player/about/dbgstate.h"
#include "player/playlist/playlistrows.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace player;

namespace {

class OutputDevice : public playertest::WindowTest {
protected:
    void TearDown() override
    {
        WindowTest::TearDown();
        if (audiolib::setDevice(m_device))
            audiolib::freeDevice();
    }
    void create(int mainDevice)
    {
        m_device = mainDevice;
        programDir.write("system.ini", "[Device]\nMainDev=" + std::to_string(mainDevice) + "\n");
        makeForm();
        beforeCreate();
        form->FormCreate();
        form->maintimer->stop();
        form->devicetimerTimer();  // its first tick
    }
    virtual void beforeCreate() {}
    QString status() const { return form->StatusBar1->Panels()[0]->Text(); }

private:
    int m_device = 0;
};

// The library's states as a test sets them.
class ScriptedDevice : public OutputDevice {
protected:
    void beforeCreate() override
    {
        form->DeviceStatusOf = [this](int device, audiolib::DeviceStatus& status) {
            if (device != 0)
                return false;
            status = now;
            return true;
        };
    }
    audiolib::DeviceStatus now;
};

}  // namespace

TEST_F(OutputDevice, ADeviceThatCannotBeOpenedStrikesOutNoRowAndTheAirPlaysOnNoSound)
{
    // A number the system does not list: a station whose sound server is not up yet looks alike.
    unsetenv("QUORVALEN_NOSOUND");
    create(250);
    for (const char* name : {"a.wav", "b.wav"})
        form->AddFile(QString::fromStdString(programDir.write(name, playertest::toneWav(440, 2, 44100))));
    form->RenumberList();
    form->LVMaster->selectRows({0});
    form->aPlay();
    EXPECT_EQ(form->DeckA->State() == engine::STATE_PLAY || form->DeckB->State() == engine::STATE_PLAY, true);
    for (const TVirtualItem& row : form->LVMaster->Rows)
        EXPECT_NE(row.SubItems[kColMarker], QString::fromLatin1(kMarkerOpenFailed)) << "a good file is no bad file";
    EXPECT_EQ(form->LVMaster->HLIndex, 0);
    EXPECT_TRUE(status().contains(QStringLiteral("Звуковое устройство 250 не открывается"))) << status().toStdString();
    EXPECT_TRUE(status().contains(QStringLiteral("«No sound»"))) << status().toStdString();
    EXPECT_TRUE(status().contains(QStringLiteral("the system lists no output device 250"))) << status().toStdString();
    form->aStop();
}

TEST_F(ScriptedDevice, TheStatusBarAndTheDiagnosticsSayWhenTheOutputIsLostAndWhenItIsBack)
{
    now.name = "default";
    now.latencyMs = 80;
    create(0);
    EXPECT_FALSE(status().contains(QStringLiteral("устройство"))) << "an open device is nothing to tell";
    EXPECT_EQ(form->DebugState().output, "0 «default»: open, 80 ms");

    now.state = audiolib::kDeviceLost;
    now.why = "its stream ended";
    now.changes = 1;
    form->devicetimerTimer();
    EXPECT_EQ(status(), QStringLiteral("Звуковое устройство 0 «default»: звук прервался (its stream ended), идут "
                                       "попытки открыть его снова"));
    EXPECT_EQ(form->DebugState().output, "0 «default»: lost (its stream ended), trying again");
    form->ShowStatus(QStringLiteral("Volume: 80"));
    EXPECT_NE(status(), QStringLiteral("Volume: 80")) << "the loss stands over the volume";
    form->ShowFailure(QStringLiteral("Файл не открывается: x.mp3"));
    form->devicetimerTimer();
    EXPECT_EQ(status(), QStringLiteral("Файл не открывается: x.mp3")) << "told once, not at every reading";

    now.state = audiolib::kDeviceOpen;
    now.why.clear();
    now.changes = 2;
    form->devicetimerTimer();
    EXPECT_EQ(status(), QStringLiteral("Звуковое устройство 0 «default» снова открыто"));
    // Lost and back between two readings: still told.
    now.changes = 4;
    form->ShowFailure(QString());
    form->devicetimerTimer();
    EXPECT_EQ(status(), QStringLiteral("Звуковое устройство 0 «default» снова открыто"));

    // One that stood in on "no sound" was never heard: it is not "open again" but heard at last.
    now.state = audiolib::kDeviceStandIn;
    now.why = "Connection refused";
    now.changes = 5;
    form->devicetimerTimer();
    EXPECT_EQ(status(), QStringLiteral("Звуковое устройство 0 «default» не открывается (Connection refused): звук "
                                       "идёт на устройство «No sound», попытки открыть его продолжаются"));
    now.state = audiolib::kDeviceOpen;
    now.why.clear();
    now.changes = 6;
    form->devicetimerTimer();
    EXPECT_EQ(status(), QStringLiteral("Звуковое устройство 0 «default» открыто: звук идёт на него"));
}
