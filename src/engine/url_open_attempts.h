#pragma once

#include <string>

#include "audio/audio.h"

// Connecting to an internet stream: the attempts run on a thread of their own while the
// user-interface thread keeps answering, and Stop can call them off.
namespace kestrel {

struct UrlOpenOutcome {
  audio::Handle source = 0;  // the decoding channel, 0 when every attempt failed
  int error = 0;             // the audio layer's code after the last failed attempt
  bool cancelled = false;    // called off by CancelPendingUrlOpen
};

// Tries, in order: AAC first, then any format; then both again downloading in small blocks.
// A failure that is not about the format (no connection, an HTTP error, a time-out, TLS) ends
// the attempts at once: trying again would only make the user wait as long once more.
// User-interface thread; returns when a source exists or every attempt has failed.
UrlOpenOutcome CreateUrlSource(const std::string& url);

// Calls off the attempts running now; true when there were any. User-interface thread.
bool CancelPendingUrlOpen();
// Whether attempts are running now.
bool UrlOpenPending();

}  // namespace kestrel
