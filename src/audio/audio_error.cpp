#include "audio/audio_error.h"

namespace kestrel::audio {

namespace {
thread_local int last_error = kOk;
}  // namespace

int LastError() { return last_error; }

bool Fail(int code) {
  last_error = code;
  return false;
}

void ClearError() { last_error = kOk; }

}  // namespace kestrel::audio
