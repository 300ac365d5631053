// Every effect kind against records that never went through the effects window (zeros, NaN,
// infinities, garbage), unprepared use, and parameter changes while another thread processes.
#include "audiolib/dsp/effect.h"
#include "audiolib/dsp/effectrecords.h"
#include "signal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <thread>

using namespace audiolib::dsp;
using namespace dsptest;

namespace {

struct Kind {
    int kind;
    std::size_t size;
};
const Kind kKinds[] = {{kEffectCompressor, sizeof(CompressorParams)}, {kEffectEcho, sizeof(EchoParams)},
                       {kEffectPeakEq, sizeof(PeakEqParams)},         {kEffectReverb, sizeof(ReverbParams)},
                       {kEffectFlanger, sizeof(FlangerParams)},       {kEffectEcho2, sizeof(Echo2Params)}};

class EveryEffect : public ::testing::TestWithParam<Kind> {
protected:
    // Renders loud noise through the effect after sending a record of 32-bit words.
    std::vector<float> renderWith(const std::vector<std::uint32_t>& words, bool* accepted = nullptr)
    {
        auto fx = createEffect(GetParam().kind);
        EXPECT_NE(fx, nullptr);
        fx->prepare(kRate, 2);
        const bool ok = fx->setParameters(words.data(), GetParam().size);
        if (accepted)
            *accepted = ok;
        std::vector<float> x = noise(1.0, 2, 1.0);
        processInBlocks(*fx, x, 2, 333);
        return x;
    }
};

TEST_P(EveryEffect, ZeroNanAndGarbageRecordsGiveFiniteBoundedOutput)
{
    const std::size_t words = GetParam().size / 4;
    const std::uint32_t nanBits = 0x7FC00000u, infBits = 0x7F800000u, negInfBits = 0xFF800000u;
    bool accepted = false;
    for (std::uint32_t fill : {0u, nanBits, infBits, negInfBits, 0xFFFFFFFFu, 0x80000000u}) {
        const std::vector<float> y = renderWith(std::vector<std::uint32_t>(words, fill), &accepted);
        EXPECT_TRUE(accepted);
        EXPECT_TRUE(allFinite(y)) << "fill " << std::hex << fill;
        EXPECT_LT(peak(y, 2, 0), 1e4) << "fill " << std::hex << fill;
    }
    std::mt19937 gen(7);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::uint32_t> record(words);
        for (auto& w : record)
            w = gen();
        const std::vector<float> y = renderWith(record);
        EXPECT_TRUE(allFinite(y)) << "round " << round;
        EXPECT_LT(peak(y, 2, 0), 1e4) << "round " << round;
    }
}

TEST_P(EveryEffect, WrongSizeIsRefusedAndReadBackIsFinite)
{
    auto fx = createEffect(GetParam().kind);
    std::vector<std::uint32_t> record(16, 0x7FC00000u);
    EXPECT_FALSE(fx->setParameters(record.data(), GetParam().size + 4));
    EXPECT_FALSE(fx->setParameters(nullptr, GetParam().size));
    ASSERT_TRUE(fx->setParameters(record.data(), GetParam().size));
    std::vector<float> back(GetParam().size / 4, 0.0f);
    ASSERT_TRUE(fx->getParameters(back.data(), GetParam().size));
    for (std::size_t i = 0; i < back.size(); ++i) {
        // Integer fields (band, sample rate, swap) carry bit patterns; float fields must be usable.
        std::uint32_t bits;
        std::memcpy(&bits, &back[i], 4);
        if (bits != 0x7FC00000u)
            continue;
        const bool integerField = (GetParam().kind == kEffectPeakEq && i < 2) ||
                                  (GetParam().kind == kEffectFlanger && i == 1);
        EXPECT_TRUE(integerField) << "field " << i << " still NaN";
    }
}

TEST_P(EveryEffect, UnpreparedEffectPassesThroughAndOddChannelCountsWork)
{
    auto fx = createEffect(GetParam().kind);
    std::vector<float> x = sine(440, 0.1, 2);
    const std::vector<float> in = x;
    fx->process(x.data(), static_cast<int>(x.size() / 2));
    EXPECT_EQ(x, in);
    fx->process(nullptr, 100);
    fx->process(x.data(), 0);
    for (int channels : {1, 3, 6}) {
        fx->prepare(48000, channels);
        std::vector<float> y = noise(0.3, channels, 0.5, 3, 48000);
        processInBlocks(*fx, y, channels, 100);
        EXPECT_TRUE(allFinite(y)) << channels << " channels";
        fx->reset();
    }
}

// Parameters change as fast as a control thread can send them while the audio thread processes;
// run under ThreadSanitizer or AddressSanitizer this finds unsynchronised state.
TEST_P(EveryEffect, ParameterChangesDuringProcessing)
{
    auto fx = createEffect(GetParam().kind);
    fx->prepare(kRate, 2);
    std::atomic<bool> stop{false};
    std::thread control([&] {
        std::mt19937 gen(11);
        std::uniform_real_distribution<float> dist(-100.0f, 3000.0f);
        std::vector<float> record(GetParam().size / 4);
        std::vector<float> back(record.size());
        while (!stop.load()) {
            for (float& v : record)
                v = dist(gen);
            fx->setParameters(record.data(), GetParam().size);
            fx->getParameters(back.data(), GetParam().size);
        }
    });
    std::vector<float> block = noise(0.01, 2, 0.5);
    bool finite = true;
    for (int i = 0; i < 2000 && finite; ++i) {
        std::vector<float> x = block;
        fx->process(x.data(), static_cast<int>(x.size() / 2));
        finite = allFinite(x);
        if (i % 500 == 0)
            fx->reset();
    }
    stop = true;
    control.join();
    EXPECT_TRUE(finite);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryEffect, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<Kind>& info) { return "kind" + std::to_string(info.param.kind); });

TEST(EffectFactory, UnknownKindsGiveNothing)
{
    for (int kind : {0, 2, 4, 6, 7, 10, 11, 12, 14, -1})
        EXPECT_EQ(createEffect(kind), nullptr) << kind;
}

}  // namespace
