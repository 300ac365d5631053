// A deck on the "no sound" device under the manual clock, with a window collecting its messages
// and a temporary folder for generated files.
#pragma once

#include "engine/audioengine.h"
#include "engine/linein.h"
#include "testaudio.h"

#include "audiolib/audiolib.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace enginetest {

class DeckFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        engine::setEngineSettings(settings());
        audiolib::setManualClock(true);
        m_window = std::make_unique<CollectingWindow>();
        m_deck = makeDeck();
        m_deck->Device = audiolib::kDeviceNoSound;
        ASSERT_TRUE(m_deck->InitDevice(audiolib::kDeviceNoSound)) << audiolib::lastError();
    }
    void TearDown() override
    {
        engine::TVqLineIn::destroyInstance();
        if (m_deck)
            m_deck->Destroy();
        m_deck.reset();
        pumpEvents();
        engine::setEngineSettings(engine::EngineSettings{});
    }

    virtual engine::EngineSettings settings() const { return engine::EngineSettings{}; }
    virtual std::unique_ptr<engine::TAudioEngine> makeDeck()
    {
        return std::make_unique<engine::TAudioEngine>(m_window->handle());
    }

    std::string path(const char* name) const { return m_dir.filePath(name).toStdString(); }
    std::string wav(const char* name, const std::vector<std::int16_t>& samples) const
    {
        const std::string p = path(name);
        writeWav(p, samples);
        return p;
    }

    // Advances the clock in steps, delivering posted messages after each; returns the rendered
    // frame count at which pred first held, or -1.
    std::int64_t advanceUntil(std::int64_t maxFrames, std::uint32_t step, const std::function<bool()>& pred)
    {
        for (std::int64_t done = 0; done < maxFrames; done += step) {
            audiolib::advance(step);
            pumpEvents();
            if (pred())
                return audiolib::renderedFrames();
        }
        return -1;
    }

    std::size_t endMessages() const
    {
        std::size_t n = 0;
        for (const Message& m : m_window->messages)
            n += m.msg == 0x46E;
        return n;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CollectingWindow> m_window;
    std::unique_ptr<engine::TAudioEngine> m_deck;
};

}  // namespace enginetest
