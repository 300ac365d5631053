// What is heard with the monitor of type 0 open: the real decks and the monitor's deck on the
// "no sound" device's manual clock, the mix measured channel by channel.
#include "tests/player/windowfixture.h"

#include "audiolib/audiolib.h"
#include "engine/audioengine.h"
#include "engine/enginesettings.h"
#include "player/form1.h"
#include "player/monitor/rearplay.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace player;

namespace {

constexpr int kRate = 44100;

std::string monoTone(double hz, double seconds)
{
    const int frames = static_cast<int>(seconds * kRate);
    std::string s = playertest::wavFile(1, kRate, frames);
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * M_PI * hz * i / kRate)));
        std::memcpy(&s[44 + 2 * static_cast<std::size_t>(i)], &v, 2);
    }
    return s;
}

// Amplitude of one frequency in one channel (0 left, 1 right) of an interleaved stereo block.
double level(const std::vector<float>& stereo, int channel, double hz)
{
    const std::size_t n = stereo.size() / 2;
    const double k = 2 * std::cos(2 * M_PI * hz / kRate);
    double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double s = stereo[2 * i + static_cast<std::size_t>(channel)] + k * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - k * s1 * s2)) * 2 / static_cast<double>(n);
}

class MonitorSound : public playertest::ManualClockWindowTest {
protected:
    // The next 100 ms of a device's mix, after 100 ms to settle.
    std::vector<float> listen(int device = 0)
    {
        // A deck selects its own device for this thread whenever it is used.
        audiolib::setDevice(device);
        std::vector<float> mix(static_cast<std::size_t>(kRate / 10) * 2);
        audiolib::advance(kRate / 10);
        audiolib::advance(kRate / 10, mix.data());
        return mix;
    }
    // A 440 Hz row on air and a 1000 Hz row after it, the pre-listen asked for on the second.
    void playAndPreListen()
    {
        form->AddFile(QString::fromStdString(programDir.write("air.wav", monoTone(440, 5))));
        form->AddFile(QString::fromStdString(programDir.write("cue.wav", monoTone(1000, 5))));
        form->RenumberList();
        form->LVMaster->selectRows({0});
        form->aPlay();
        form->LVMaster->selectRows({1});
        form->N51Click();
    }
};

TEST_F(MonitorSound, TypeZeroPutsTheMonitorLeftAndTheAirRightUntilItCloses)
{
    form->AddFile(QString::fromStdString(programDir.write("air.wav", monoTone(440, 5))));
    form->AddFile(QString::fromStdString(programDir.write("cue.wav", monoTone(1000, 5))));
    form->RenumberList();
    form->LVMaster->selectRows({0});
    form->aPlay();
    QCoreApplication::sendPostedEvents();
    std::vector<float> mix = listen();
    const double air = level(mix, 0, 440);
    ASSERT_GT(air, 0.1);
    EXPECT_NEAR(level(mix, 1, 440), air, air * 0.05);

    form->MonType = 0;
    form->LVMaster->selectRows({1});
    form->N51Click();
    ASSERT_NE(form->RearPlay, nullptr);
    mix = listen();
    EXPECT_LT(level(mix, 0, 440), air * 0.01) << "the air is off the monitor's channel";
    EXPECT_GT(level(mix, 1, 440), air * 0.5);
    EXPECT_GT(level(mix, 0, 1000), 0.1);
    EXPECT_LT(level(mix, 1, 1000), 0.001) << "the monitor stays off the air";

    form->RearPlay->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    mix = listen();
    EXPECT_LT(level(mix, 0, 1000), 0.001) << "closing stops the monitor at once";
    EXPECT_NEAR(level(mix, 0, 440), air, air * 0.05);
    EXPECT_NEAR(level(mix, 1, 440), air, air * 0.05);
}

TEST_F(MonitorSound, TypeTwoPlaysOnTheSecondDeviceOpenedAtTheFirstShowing)
{
    // Every device number is a "no sound" device here, so the second one can be opened.
    setenv("QUORVALEN_NOSOUND", "1", 1);
    engine::EngineSettings settings = engine::engineSettings();
    settings.SecondDev = 5;
    engine::setEngineSettings(settings);
    form->MonType = 2;
    form->InitMonitorDevice();
    unsetenv("QUORVALEN_NOSOUND");
    EXPECT_EQ(audiolib::getDevice(), 0) << "later calls still go to the main device";
    ASSERT_TRUE(audiolib::setDevice(5));
    audiolib::setDevice(0);

    playAndPreListen();
    ASSERT_NE(form->RearPlay, nullptr);
    EXPECT_EQ(form->RearPlay->deck()->State(), engine::STATE_PLAY);
    std::vector<float> mix = listen();
    EXPECT_GT(level(mix, 0, 440), 0.1);
    EXPECT_GT(level(mix, 1, 440), 0.1);
    EXPECT_LT(level(mix, 0, 1000), 0.001);
    EXPECT_LT(level(mix, 1, 1000), 0.001);
    const std::vector<float> second = listen(5);
    EXPECT_GT(level(second, 0, 1000), 0.1);
    EXPECT_GT(level(second, 1, 1000), 0.1);
    EXPECT_LT(level(second, 0, 440), 0.001);
    audiolib::setDevice(0);

    form->RearPlay->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    audiolib::setDevice(5);
    audiolib::freeDevice();
    audiolib::setDevice(0);
}

TEST_F(MonitorSound, TypeTwoOnTheMainDeviceIsRefusedAndTheMonitorStaysOffTheAir)
{
    engine::EngineSettings settings = engine::engineSettings();
    settings.SecondDev = settings.MainDev;
    engine::setEngineSettings(settings);
    form->MonType = 2;
    form->InitMonitorDevice();

    playAndPreListen();
    EXPECT_EQ(form->RearPlay, nullptr);
    ASSERT_EQ(boxes("Monitor").size(), 1u);
    EXPECT_NE(boxes("Monitor")[0].text.find("основное устройство"), std::string::npos) << boxes("Monitor")[0].text;
    const std::vector<float> mix = listen();
    EXPECT_GT(level(mix, 0, 440), 0.1);
    EXPECT_LT(level(mix, 0, 1000), 0.001) << "no pre-listen on the air";
    EXPECT_LT(level(mix, 1, 1000), 0.001);
    if (form->RearPlay)
        form->RearPlay->close();
}

}  // namespace
