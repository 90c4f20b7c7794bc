#pragma once

#include <memory>

#include "tempo/tempo_processor.h"

// The one tempo processor of the process, and the algorithm the next one is made with. Used on
// the user-interface thread only.
namespace kestrel {

// Stores the algorithm for the next processor created; an index outside 0-2 stores 0.
void SelectTempoAlgorithm(int algorithm);
// The current processor; when there is none, one of the selected algorithm is created and kept.
TempoProcessor& GetTempoProcessor();
// Destroys the current processor (its stream, and through it the source it owns), if any.
void DestroyTempoProcessor();
// A new processor of the algorithm: 1 Speedy, 2 Signalsmith, anything else SoundTouch.
std::unique_ptr<TempoProcessor> CreateTempoProcessor(int algorithm);

}  // namespace kestrel
