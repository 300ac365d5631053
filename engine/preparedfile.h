// A file opened for a deck's start ahead of it, on any thread: its stream made, placed at the end
// of its leading silence and decoded ahead, and its silence cut found. The start itself then only
// sets the stream going. Whatever a start does not take is freed with the object.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "audiolib/audiolib.h"
#include "engine/silencescan.h"

namespace engine {

// What a deck opens a file with; a file prepared with other inputs does not serve the start.
struct StartInputs {
    std::string fileName;
    std::uint32_t flags = 0;  // stream creation flags
    int device = 1;
    bool skipSilence = false;
    std::int32_t silenceThreshold = 0;
    bool operator==(const StartInputs&) const = default;
};

class PreparedFile {
public:
    // Opens the stream and scans the file: reads the file, so any thread but the audio
    // library's. Never null; a file that does not open gives its error.
    static std::unique_ptr<PreparedFile> open(const StartInputs& inputs);
    // What an open of these inputs gave when it failed with error (nonzero).
    static std::unique_ptr<PreparedFile> failed(const StartInputs& inputs, int error);
    ~PreparedFile();
    PreparedFile(const PreparedFile&) = delete;
    PreparedFile& operator=(const PreparedFile&) = delete;

    const StartInputs& inputs() const { return m_inputs; }
    const TrimResult& trim() const { return m_trim; }
    // The library's error when the stream could not be made; 0 when it was.
    int error() const { return m_error; }
    // False once the stream has gone with its device (the device was freed meanwhile).
    bool usable() const;
    // Whether the stream already stands at trim().startBytes (a decode stream waits for the
    // tempo stream over it to be placed).
    bool placed() const { return m_placed; }
    // The stream while it has not been taken; 0 once taken or when none was made.
    audiolib::Handle stream() const { return m_stream; }
    // Hands the stream over to the deck that starts it; 0 once taken or when none was made.
    audiolib::Handle takeStream();

private:
    explicit PreparedFile(StartInputs inputs) : m_inputs(std::move(inputs)) {}

    StartInputs m_inputs;
    audiolib::Handle m_stream = 0;
    TrimResult m_trim;
    int m_error = 0;
    bool m_placed = false;
};

}  // namespace engine
