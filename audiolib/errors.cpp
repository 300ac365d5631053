// The calling thread's last error and the texts of our error numbers.
#include "audiolib/errors.h"

namespace audiolib {

namespace {
thread_local int t_lastError = kOk;
}

int lastError() { return t_lastError; }

void setLastError(int error) { t_lastError = error; }

const char* errorText(int error)
{
    switch (error) {
    case kOk: return "no error";
    case kErrorHandle: return "invalid handle";
    case kErrorNotInitialised: return "device not initialised";
    case kErrorAlreadyInitialised: return "device already initialised";
    case kErrorDevice: return "no such device";
    case kErrorDeviceFailed: return "the output device failed to open or start";
    case kErrorFileOpen: return "cannot open or read the file";
    case kErrorFormat: return "not a supported audio format";
    case kErrorCodec: return "no decoder for this audio";
    case kErrorPosition: return "invalid position";
    case kErrorParameter: return "invalid parameter";
    case kErrorDecodeStream: return "the stream is decode-only";
    case kErrorNotDecodeStream: return "the stream is not decode-only";
    case kErrorSpeaker: return "the device has no such speakers";
    case kErrorNotAvailable: return "not available on this channel";
    case kErrorMemory: return "out of memory";
    case kErrorCdTrack: return "no such CD drive or track";
    case kErrorFxKind: return "unknown effect kind";
    case kErrorRecording: return "recording not available";
    case kErrorEnded: return "the stream has ended";
    case kErrorSameOutput: return "the device plays to the same output as another device open";
    case kErrorUnknown: return "unknown error";
    default: return "";
    }
}

}  // namespace audiolib
