#include "speech/screen_reader_bridge.h"

#include <mutex>

#include "base/tick_clock.h"
#include "speech/speech.h"

namespace kestrel {
namespace {

// After this long the next output detects afresh from the top of the table, so a reader started
// later with a higher rank is picked up.
constexpr std::uint32_t kRecheckIntervalMs = 10000;

struct Bridge {
  std::vector<std::unique_ptr<ScreenReaderDriver>> drivers;
  bool table_ready = false;
  int active = -1;
  std::uint32_t last_recheck = 0;
  std::function<std::uint32_t()> clock;
};

// Never destroyed: shutdown code may still speak while static objects are being torn down.
Bridge& State() {
  static auto* bridge = new Bridge;
  return *bridge;
}

struct ProbeSlot {
  std::mutex mutex;
  std::function<bool()> probe;
};
ProbeSlot& Probe() {
  static auto* slot = new ProbeSlot;
  return *slot;
}

void EnsureTable(Bridge& bridge) {
  if (bridge.table_ready) return;
  bridge.drivers = DefaultScreenReaderDrivers();
  bridge.table_ready = true;
}

void Detect(Bridge& bridge) {
  EnsureTable(bridge);
  for (std::size_t i = 0; i < bridge.drivers.size(); ++i) {
    if (bridge.drivers[i]->IsRunning()) {
      bridge.active = static_cast<int>(i);
      return;
    }
  }
}

void UnloadAll(Bridge& bridge) {
  for (auto& driver : bridge.drivers) driver->Unload();
  bridge.active = -1;
  bridge.last_recheck = 0;
}

// The shared loop of SpeakOutput and SilenceSpeech. Each round either succeeds or drops one
// reader, so the number of rounds is bounded by the table size even if a reader keeps flipping
// between running and not running.
template <typename Operation>
bool RunOnActiveReader(Operation operation) {
  Bridge& bridge = State();
  EnsureTable(bridge);
  for (std::size_t round = 0; round <= bridge.drivers.size(); ++round) {
    if (bridge.active < 0) Detect(bridge);
    if (bridge.active < 0) return false;
    ScreenReaderDriver& driver = *bridge.drivers[static_cast<std::size_t>(bridge.active)];
    if (operation(driver) || driver.IsRunning()) {
      std::uint32_t now = SpeechTickCount();
      if (now - bridge.last_recheck >= kRecheckIntervalMs) {
        bridge.last_recheck = now;
        bridge.active = -1;
      }
      return true;
    }
    driver.Unload();
    bridge.active = -1;
  }
  return false;
}

}  // namespace

bool SpeakOutput(std::string_view text, bool interrupt) {
  return RunOnActiveReader(
      [&](ScreenReaderDriver& driver) { return driver.Output(text, interrupt); });
}

bool SilenceSpeech() {
  return RunOnActiveReader([](ScreenReaderDriver& driver) { return driver.Silence(); });
}

std::string ActiveScreenReaderName() {
  Bridge& bridge = State();
  if (bridge.active < 0) return {};
  return bridge.drivers[static_cast<std::size_t>(bridge.active)]->name();
}

void SetScreenReaderEnabledProbe(std::function<bool()> probe) {
  std::lock_guard lock(Probe().mutex);
  Probe().probe = std::move(probe);
}

bool ScreenReaderEnabledByDesktop() {
  std::function<bool()> probe;
  {
    std::lock_guard lock(Probe().mutex);
    probe = Probe().probe;
  }
  return probe && probe();
}

std::uint32_t SpeechTickCount() {
  Bridge& bridge = State();
  return bridge.clock ? bridge.clock() : TickCount();
}

void SetScreenReaderDriversForTesting(std::vector<std::unique_ptr<ScreenReaderDriver>> drivers) {
  Bridge& bridge = State();
  UnloadAll(bridge);
  bridge.drivers = std::move(drivers);
  bridge.table_ready = true;
}

void ResetScreenReaderDrivers() {
  Bridge& bridge = State();
  UnloadAll(bridge);
  bridge.drivers.clear();
  bridge.table_ready = false;
}

void SetSpeechClockForTesting(std::function<std::uint32_t()> clock) {
  State().clock = std::move(clock);
}

}  // namespace kestrel
