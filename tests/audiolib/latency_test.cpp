// On an output with latency, positions and syncs follow the sound at the speaker: what was mixed
// one latency ago.
#include <gtest/gtest.h>

#include <vector>

#include "audiolib/channel.h"
#include "audiolib/device.h"
#include "audiolib/usersource.h"

using namespace audiolib;

namespace {

// An output that only reports its latency; the test pulls the mix with advance().
class LatentOutput : public Output {
public:
    bool start() override { return true; }
    void stop() override {}
    int latencyMs() const override { return 100; }
};

std::uint32_t constantProc(Handle, void* buffer, std::uint32_t length, void*)
{
    auto* s = static_cast<std::int16_t*>(buffer);
    for (std::uint32_t i = 0; i < length / 2; ++i)
        s[i] = 1000;
    return length;
}

}  // namespace

TEST(OutputLatency, PositionsAndSyncsWaitForTheSpeaker)
{
    std::vector<std::int64_t> delivered;
    Device::Params p;
    p.rateHz = 44100;
    p.manual = true;
    auto device = std::make_shared<Device>(p, [&](const SyncEvent& e) { delivered.push_back(e.frame); });
    ASSERT_TRUE(device->start(std::make_unique<LatentOutput>()));
    ASSERT_EQ(device->latencyFrames(), 4410);

    auto channel = std::make_shared<Channel>(1, std::make_unique<UserSource>(44100, 2, 0, &constantProc, nullptr), 0,
                                             device);
    device->attach(channel.get());
    channel->addSync(kSyncPosition, 10000 * 4, false, 0, 0, [](SyncHandle, Handle, std::uint32_t, void*) {}, nullptr);
    int error = 0;
    ASSERT_TRUE(channel->play(false, &error));

    device->advance(2000, nullptr);
    EXPECT_EQ(channel->positionFrames(), 0) << "nothing has reached the speaker yet";
    device->advance(8000, nullptr);
    EXPECT_EQ(channel->positionFrames(), 10000 - 4410);
    device->advance(1000, nullptr);
    EXPECT_TRUE(delivered.empty()) << "mixed at 10000, heard at 14410";
    device->advance(3409, nullptr);
    EXPECT_TRUE(delivered.empty());
    device->advance(2, nullptr);
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0], 10000);
    EXPECT_EQ(channel->positionFrames(), 14411 - 4410);

    device->detach(channel.get());
    device->shutdown();
}
