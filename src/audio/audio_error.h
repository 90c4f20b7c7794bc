#pragma once

// The audio layer reports failures through a per-thread last-error code. The numbers are the ones
// users see in messages such as "Unsupported file format. (code 41)", so they never change.
namespace kestrel::audio {

enum ErrorCode : int {
  kOk = 0,
  kErrorMemory = 1,        // out of memory
  kErrorFileOpen = 2,      // the file or address could not be opened
  kErrorDriver = 3,        // no working output driver
  kErrorHandle = 5,        // not a valid handle (never existed, or freed)
  kErrorFormat = 6,        // unsupported sample format
  kErrorPosition = 7,      // invalid position
  kErrorInit = 8,          // the output was not initialised
  kErrorStart = 9,         // the output could not be started
  kErrorSsl = 10,          // TLS failed
  kErrorAlready = 14,      // already initialised
  kErrorNotAudio = 17,     // the file holds no audio
  kErrorIllegalType = 19,  // an illegal type was given
  kErrorIllegalParam = 20, // an illegal parameter was given
  kErrorNo3d = 21,
  kErrorDevice = 23,       // no such output device
  kErrorNoPlay = 24,       // the channel is not playing
  kErrorFreq = 25,         // illegal sample rate
  kErrorNotFile = 27,      // the stream is not a file stream
  kErrorEmpty = 31,        // nothing to report (no such tag block)
  kErrorNoNet = 32,        // no internet connection
  kErrorCreate = 33,       // could not create
  kErrorNoFx = 34,         // effects are not available
  kErrorNotAvailable = 37, // the requested data is not available
  kErrorDecode = 38,       // the channel is (or is not) a decoding channel
  kErrorTimeout = 40,      // a connection timed out
  kErrorFileForm = 41,     // unsupported file format
  kErrorCodec = 44,        // the codec is not available
  kErrorEnded = 45,        // the channel has ended
  kErrorBusy = 46,         // the device is busy
  kErrorCancelled = 99,    // an internet stream's opening was cancelled (never shown to users)
  kErrorUnknown = -1,
};

// The code of the last audio-layer call made on this thread (kOk after a success).
int LastError();
// Sets this thread's code; returns false, so failures can be written `return Fail(code);`.
bool Fail(int code);
void ClearError();

}  // namespace kestrel::audio
