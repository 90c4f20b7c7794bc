#pragma once

#include "audio/audio.h"

// How a source tells its channel that something happened (an internet stream's new metadata
// block, its download completing): the channel's syncs of that type run on the sync thread.
// Callable from any thread, also from inside the source's own Read.
namespace kestrel::audio {

void ReportSourceEvent(const Source& source, SyncType type);

}  // namespace kestrel::audio
