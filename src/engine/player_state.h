#pragma once

#include <cstdint>

#include "audio/audio.h"
#include "storage/shared_value.h"

// What is playing and through which channels: the one record every part of the player reads to
// act on the current item. Opening media fills it, stopping a live stream, the device switch and
// exit empty it. Written on the user-interface thread only.
namespace kestrel {

enum class SourceKind : int {
  kNothing = 0,  // nothing loaded
  kAudio = 1,    // audio through the audio layer
  kVideo = 2,    // video through the video engine
};

struct PlayerState {
  SourceKind source_kind = SourceKind::kNothing;
  bool video_loaded = false;  // a video is loaded in the video engine
  bool fullscreen = false;    // the video is shown full-screen
  // Read by the volume stage on the mixing thread, hence atomic. Starts false, never saved.
  SharedValue<bool> muted = false;

  // The decoding source channel, or 0; also 0 while the output stream owns the source (it then
  // frees it with itself).
  audio::Handle source_channel = 0;
  // The stream that is heard (the tempo processor's output), or 0.
  audio::Handle output_stream = 0;
  // The channel whose tags and stream titles are read: the source at open time, kept while the
  // output stream owns it.
  audio::Handle meta_channel = 0;

  audio::Handle end_sync = 0;       // end of the heard output, on the output stream
  audio::Handle meta_sync = 0;      // new stream title, on an internet stream's source
  audio::Handle download_sync = 0;  // download complete, on an internet stream's metadata channel

  bool is_live = false;  // the current internet stream has no known length
  bool loading = false;  // an open operation is building the channels

  float sample_rate = 0;  // of the source, Hz
  int bitrate_kbps = 0;   // of the source as reported at open time, 0 when unknown
};

// The process-wide record. Tests start afresh with `ThePlayerState() = PlayerState{}`.
PlayerState& ThePlayerState();

}  // namespace kestrel
