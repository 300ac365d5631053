// Error numbers of the audio library and the calling thread's last error. Every public call sets
// the calling thread's error: 0 on success, one of the numbers below on failure.
#pragma once

namespace audiolib {

enum Error : int {
    kOk = 0,
    kErrorHandle = 1,          // the handle is not (or no longer) a live stream/effect/sync/record
    kErrorNotInitialised = 2,  // the selected device has not been initialised
    kErrorAlreadyInitialised = 3,
    kErrorDevice = 4,        // no such device number
    kErrorDeviceFailed = 5,  // the output device could not be opened or started
    kErrorFileOpen = 6,      // the file cannot be opened or read
    kErrorFormat = 7,        // not audio, or an audio format we cannot decode
    kErrorCodec = 8,         // no decoder for the file's audio
    kErrorPosition = 9,      // position outside the stream, or the stream cannot seek
    kErrorParameter = 10,    // an argument outside its allowed values
    kErrorDecodeStream = 11,     // the call needs a playable channel, the stream is decode-only
    kErrorNotDecodeStream = 12,  // the call needs a decode-only stream
    kErrorSpeaker = 13,          // the device has no such speakers (rear on a stereo device)
    kErrorNotAvailable = 14,     // the operation does not apply to this channel (no data yet, no FFT)
    kErrorMemory = 15,
    kErrorCdTrack = 16,   // no such CD drive, image or audio track
    kErrorFxKind = 17,    // unknown effect kind
    kErrorRecording = 18,  // capture not initialised, or cannot start
    kErrorEnded = 19,     // the stream has ended (play without restart at its end)
    kErrorSameOutput = 20,  // the device plays to the same output as another device open
    kErrorUnknown = 99,
};

// The calling thread's last error (0 after a successful call).
int lastError();

// For the library's own calls (also those implemented in other files of this folder).
void setLastError(int error);

// Short English description for logs and diagnostics ("" for unknown numbers).
const char* errorText(int error);

}  // namespace audiolib
