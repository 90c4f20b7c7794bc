#pragma once

// What the user does to the current item without changing it: pause, stop, seeking, and hearing
// where playback stands. Positions and lengths are the media's own time, from the current tempo
// processor (video: from the video engine). Every operation without its object does nothing and
// says nothing, except pausing a live stream. User-interface thread only.
namespace kestrel {

// Where playback stands in seconds: the video engine's position, else the tempo processor's
// while it is active, else 0.
double CurrentPositionSeconds();

// Pauses (video: toggles the video engine's pause). A live stream cannot be paused: says
// "Cannot pause live stream". With [Playback] RewindOnPauseMs above 0 (and no item being
// opened), the position then moves back by that much, not below 0; pausing a paused item
// pauses and rewinds again. An output stream the audio layer no longer knows is forgotten.
void Pause();

// Stops. A file stays open at its start (playing it again starts from 0); a live stream is
// closed and freed whole; a video is stopped and its surface hidden.
void Stop();

// Moves by `seconds` (negative: back), held within [0, length]. Nothing while an item is being
// opened, or when the length is not known.
void SeekBy(double seconds);
// Moves to `seconds`, held within [0, length]: a time beyond the end goes to the end.
void SeekTo(double seconds);
// To the start of the item (the "Beginning" command).
void SeekToBeginning();

// Speak the position, the time left (never below 0:00) and the length as time texts. Audio
// only, while the tempo processor is active.
void SpeakElapsed();
void SpeakRemaining();
void SpeakTotal();

}  // namespace kestrel
