#include "tempo/current_tempo_processor.h"

#include <cstdlib>

#include "diag/logger.h"
#include "tempo/soundtouch_processor.h"

namespace kestrel {
namespace {

struct CurrentProcessor {
  std::unique_ptr<TempoProcessor> processor;
  int next_algorithm = kTempoAlgorithmSoundTouch;
  bool exit_hook_registered = false;
};

// Never destroyed with the other statics. A processor still there at exit is destroyed by an
// exit hook registered when the first processor is made; by then the source channel exists, so
// the audio layer's state was built earlier and is torn down after the hook has run.
CurrentProcessor& Current() {
  static auto* current = new CurrentProcessor;
  return *current;
}

}  // namespace

void SelectTempoAlgorithm(int algorithm) {
  const bool known = algorithm >= kTempoAlgorithmSoundTouch && algorithm <= kTempoAlgorithmSignalsmith;
  Current().next_algorithm = known ? algorithm : kTempoAlgorithmSoundTouch;
}

TempoProcessor& GetTempoProcessor() {
  CurrentProcessor& current = Current();
  if (!current.processor) {
    current.processor = CreateTempoProcessor(current.next_algorithm);
    if (!current.exit_hook_registered) {
      current.exit_hook_registered = true;
      std::atexit(DestroyTempoProcessor);
    }
  }
  return *current.processor;
}

void DestroyTempoProcessor() {
  CurrentProcessor& current = Current();
  if (!current.processor) return;
  current.processor->Destroy();
  current.processor.reset();
}

std::unique_ptr<TempoProcessor> CreateTempoProcessor(int algorithm) {
  if (algorithm == kTempoAlgorithmSpeedy || algorithm == kTempoAlgorithmSignalsmith) {
    // The Speedy and Signalsmith processors are not part of this build yet; SoundTouch plays
    // instead, as it does whenever one of them cannot be created.
    LogFormat("TEMPO", "tempo algorithm %d is not available; using SoundTouch", algorithm);
  }
  return std::make_unique<SoundTouchProcessor>();
}

}  // namespace kestrel
