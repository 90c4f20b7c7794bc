#pragma once

// Where the opener attaches and detaches the DSP effect chain on the current output stream
// (ThePlayerState().output_stream). The chain itself is not part of this build yet: both calls
// are made at the right moments and, until the chain lands, do nothing but log once that the
// chain is missing.
namespace kestrel {

// Creates every effect that is switched on and not yet running on the current output stream.
// Called after a new output stream exists and its rate is set.
void ApplyEffectChain();
// Removes every running effect from the current output stream. Called before that stream is
// stopped and freed.
void RemoveEffectChain();

}  // namespace kestrel
