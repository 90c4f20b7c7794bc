#pragma once

#include <vector>

// The current effect parameter and the keys that move between parameters and turn them:
// [ and ] move through the cycle list, Up and Down adjust by one step, Backspace resets,
// Ctrl+Home and Ctrl+End go to the ends, Ctrl+1 to Ctrl+4 put the stream effects in the list or
// take them out. User-interface thread only.
namespace kestrel {

// The ids of the parameters the user has switched on, in id order: the stream effects whose
// [Effects] switch is on, the parameters of the DSP effects that are on, and the reverb
// parameters of the [Effects] ReverbAlgorithm in use.
std::vector<int> BuildParameterCycleList();

// The current parameter: Volume at every start, never saved.
int CurrentEffectParameter();
void SetCurrentEffectParameter(int id);

// One step up (+1) or down (-1). The volume steps by [Playback] VolumeStep; the rate by
// semitone ratios with [Effects] RateStepMode 1; the 3D rotation goes round the circle and the
// 3D mode and rear speaker flip. Tempo and rate on a live stream only say they are not
// available. Speaks the new value.
void AdjustCurrentParameter(int direction);
// The previous (-1) or next (+1) parameter of the cycle list, stopping at either end. Speaks it.
void CycleCurrentParameter(int direction);
// The current parameter to its default, minimum or maximum; speaks the new value.
void ResetCurrentParameter();
void SetCurrentParameterToMinimum();
void SetCurrentParameterToMaximum();

// Puts stream effect `index` (0 Volume, 1 Pitch, 2 Tempo, 3 Rate) in the cycle list or takes it
// out, and says which ("Pitch enabled"). Its value is untouched. Other indexes are ignored.
void ToggleStreamEffect(int index);

// Speaks the current parameter and its value when [Speech] Effect is on.
void SpeakCurrentParameter();

}  // namespace kestrel
