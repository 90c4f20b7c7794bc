#pragma once

#include <string>

#include "audio/audio.h"
#include "engine/player_state.h"
#include "ui/message_box.h"

// Steps shared by the openers of local files, internet streams and videos.
namespace kestrel::open_steps {

// The Next command, as the menu and keys post it.
inline constexpr int kNextCommand = 204;

// Stops the video engine when a video plays and marks nothing as loaded.
void StopVideoIfPlaying(PlayerState& state);

// Closes the audio that played: removes its syncs and effect chain, stops and frees the output
// stream and a source channel still held, destroys the tempo processor, and leaves no handle of
// them in `state` (is_live, bitrate and sample rate are cleared with them).
void CloseAudio(PlayerState& state);

// A new source's rate and bitrate as reported at open time; it becomes the metadata channel.
void TakeSourceFacts(PlayerState& state, audio::Handle source);

// A fresh tempo processor of `algorithm` built over the source, with the pitch setting and, when
// `apply_tempo`, the tempo setting. Its output stream, or 0.
audio::Handle CreateTempoOutput(int algorithm, audio::Handle source, float sample_rate,
                                bool apply_tempo);

// Registers the end sync on a new output stream: at the heard end it posts the Next command with
// lparam 1 when playback should stop there (neither AutoAdvance nor a repeat mode is on), else 0.
audio::Handle SetEndSync(audio::Handle output_stream);

// A message box captioned "Kestrel" over the active window.
void ShowOpenMessage(std::string text, MessageIcon icon);

// The item whose audio is open (set by the opener, emptied by CloseAudio).
std::string& OpenedItem();

}  // namespace kestrel::open_steps
