// Library-wide options: one row per option with its range, read by small generic code.
#include <array>

#include "audio/audio.h"
#include "audio/layer.h"

namespace kestrel::audio {

namespace {

struct ConfigRow {
  Config option;
  std::atomic<int> Layer::*field;
  int minimum;
  int maximum;
};

constexpr std::array kConfigRows = {
    ConfigRow{Config::kBufferMs, &Layer::buffer_ms, 100, 5000},
    ConfigRow{Config::kUpdatePeriodMs, &Layer::update_period_ms, 5, 500},
    ConfigRow{Config::kVolumeCurve, &Layer::volume_curve, 0, 1},
    ConfigRow{Config::kMidiVoices, &Layer::midi_voices, 1, 1000},
    ConfigRow{Config::kNetTimeoutMs, &Layer::net_timeout_ms, 0, 3'600'000},
    ConfigRow{Config::kNetBufferMs, &Layer::net_buffer_ms, 0, 3'600'000},
    ConfigRow{Config::kNetPrebufferPercent, &Layer::net_prebuffer_percent, 0, 100},
};

const ConfigRow* FindRow(Config option) {
  for (const auto& row : kConfigRows) {
    if (row.option == option) return &row;
  }
  return nullptr;
}

}  // namespace

bool SetConfig(Config option, int value) {
  const ConfigRow* row = FindRow(option);
  if (!row) return Fail(kErrorIllegalType);
  if (value < row->minimum || value > row->maximum) return Fail(kErrorIllegalParam);
  (TheLayer().*(row->field)).store(value);
  if (option == Config::kUpdatePeriodMs || option == Config::kBufferMs) WakeUpdateThread();
  ClearError();
  return true;
}

int GetConfig(Config option) {
  const ConfigRow* row = FindRow(option);
  if (!row) return Fail(kErrorIllegalType), -1;
  ClearError();
  return (TheLayer().*(row->field)).load();
}

void SetNetAgent(const std::string& user_agent) {
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  layer.net_agent = user_agent;
}

std::string NetAgent() {
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  return layer.net_agent;
}

}  // namespace kestrel::audio
