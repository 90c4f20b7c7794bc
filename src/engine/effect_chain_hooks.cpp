#include "engine/effect_chain_hooks.h"

#include <atomic>

#include "diag/logger.h"

namespace kestrel {
namespace {

// The effect chain is not built yet: no effect is attached, and the log says so once.
void LogChainMissingOnce() {
  static std::atomic<bool> logged{false};
  if (!logged.exchange(true)) {
    LogText("PENDING", "effect chain: not built yet; media plays without effects");
  }
}

}  // namespace

void ApplyEffectChain() { LogChainMissingOnce(); }

void RemoveEffectChain() { LogChainMissingOnce(); }

}  // namespace kestrel
