// Opening a deck's file ahead of its start.
#include "engine/preparedfile.h"

#include "engine/decodestream.h"
#include "engine/filenameparts.h"

#include <utility>

namespace engine {

namespace {

audiolib::Handle openStream(const std::string& fileName, std::uint32_t flags)
{
    const std::string ext = extensionOf(fileName);
    if (ext == ".cda")
        return audiolib::cdStreamCreateFile(fileName, flags | audiolib::kStreamCd);
    if (ext == ".wma")
        return audiolib::wmaStreamCreateFile(fileName, flags);
    return audiolib::streamCreateFile(fileName, flags);
}

}  // namespace

std::unique_ptr<PreparedFile> PreparedFile::open(const StartInputs& inputs)
{
    std::unique_ptr<PreparedFile> prepared(new PreparedFile(inputs));
    const bool decodeOnly = (inputs.flags & audiolib::kStreamDecode) != 0;
    if (!decodeOnly)
        audiolib::setDevice(inputs.device);
    prepared->m_stream = openStream(inputs.fileName, inputs.flags);
    if (prepared->m_stream == 0) {
        const int error = audiolib::lastError();
        prepared->m_error = error != 0 ? error : audiolib::kErrorHandle;
        return prepared;
    }
    // While the stream is open the scan's own stream shares its count of the file's frames.
    if (inputs.skipSilence)
        prepared->m_trim = scanFileSilence(inputs.fileName, inputs.silenceThreshold);
    if (!decodeOnly) {
        if (prepared->m_trim.startBytes != 0)
            audiolib::setPosition(prepared->m_stream, prepared->m_trim.startBytes);
        prepared->m_placed = true;
        audiolib::preBuffer(prepared->m_stream);
    }
    return prepared;
}

std::unique_ptr<PreparedFile> PreparedFile::failed(const StartInputs& inputs, int error)
{
    std::unique_ptr<PreparedFile> prepared(new PreparedFile(inputs));
    prepared->m_error = error != 0 ? error : audiolib::kErrorHandle;
    return prepared;
}

PreparedFile::~PreparedFile()
{
    if (m_stream != 0)
        audiolib::streamFree(m_stream);
}

bool PreparedFile::usable() const
{
    audiolib::ChannelInfo info{};
    return m_stream == 0 || audiolib::getChannelInfo(m_stream, &info);
}

audiolib::Handle PreparedFile::takeStream()
{
    return std::exchange(m_stream, 0);
}

}  // namespace engine
