// The decode streams of a deck's file and the silence scan over one.
#include "engine/decodestream.h"

namespace engine {

namespace {

// A decode stream read through the silence scan's interface.
class DecodeStreamReader : public PcmReader {
public:
    explicit DecodeStreamReader(audiolib::Handle stream) : m_stream(stream) {}
    bool isActive() override { return !m_ended && audiolib::isActive(m_stream) != audiolib::kStopped; }
    int read(void* buffer, int bytes) override
    {
        const std::int32_t got = audiolib::getData(m_stream, buffer, static_cast<std::uint32_t>(bytes));
        if (got <= 0)
            m_ended = true;
        return got;
    }
    bool setPosition(std::int64_t bytes) override
    {
        m_ended = false;
        return audiolib::setPosition(m_stream, bytes);
    }
    std::int64_t lengthBytes() override { return audiolib::getLength(m_stream); }
    double bytesToSeconds(std::int64_t bytes) override
    {
        const double s = audiolib::bytesToSeconds(m_stream, bytes);
        return s < 0 ? 0 : s;
    }

private:
    audiolib::Handle m_stream;
    bool m_ended = false;
};

}  // namespace

audiolib::Handle openDecodeStream(const std::string& fileName)
{
    audiolib::Handle h = audiolib::streamCreateFile(fileName, audiolib::kStreamDecode);
    if (h == 0)
        h = audiolib::wmaStreamCreateFile(fileName, audiolib::kStreamDecode);
    return h;
}

TrimResult scanFileSilence(const std::string& fileName, std::int32_t threshold)
{
    const audiolib::Handle stream = openDecodeStream(fileName);
    if (stream == 0)
        return TrimResult{};
    DecodeStreamReader reader(stream);
    const TrimResult result = scanSilence(reader, threshold);
    audiolib::streamFree(stream);
    return result;
}

}  // namespace engine
