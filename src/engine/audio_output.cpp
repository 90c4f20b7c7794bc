#include "engine/audio_output.h"

#include "audio/audio.h"
#include "diag/logger.h"
#include "engine/display_refresh.h"
#include "engine/open_media.h"
#include "engine/player_state.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "speech/speech.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"
#include "ui/message_box.h"

namespace kestrel {
namespace {

struct AudioOutputState {
  int current_device = -1;  // -1: the system default
  bool sound_font_loaded = false;
  OutputStarter starter_for_testing;
};

AudioOutputState& State() {
  static AudioOutputState state;
  return state;
}

bool StartOutput(int device) {
  const OutputStarter& starter = State().starter_for_testing;
  return starter ? starter(device, kOutputMixRate) : audio::InitOutput(device, kOutputMixRate);
}

// Starts output on `device`; when that fails and it was not already the default, on the default
// device, which then becomes the one in use with the saved name forgotten (in memory: the next
// settings save writes it).
bool StartOutputOrDefault(int device) {
  if (StartOutput(device)) {
    State().current_device = device;
    return true;
  }
  LogFormat("AUDIO", "output on device %d failed (code %d)", device, audio::LastError());
  if (device == -1 || !StartOutput(-1)) return false;
  State().current_device = -1;
  TheSettings().device_name.clear();
  return true;
}

void LoadSoundFont() {
  AudioOutputState& state = State();
  if (state.sound_font_loaded) {
    audio::SetMidiSoundFont("");
    state.sound_font_loaded = false;
  }
  const Settings& settings = TheSettings();
  audio::SetConfig(audio::Config::kMidiVoices, settings.max_voices);
  if (settings.sound_font.empty()) return;
  // A font that cannot be loaded is not reported: MIDI files then simply have no font.
  state.sound_font_loaded = audio::SetMidiSoundFont(settings.sound_font);
  if (!state.sound_font_loaded) {
    LogFormat("AUDIO", "SoundFont not loaded: %s", settings.sound_font.c_str());
  }
}

// What plays is what the opener last opened; the playlist's current item stands in only when the
// opener does not know (the playlist may already point elsewhere, and reopening that item would
// change the track under the user).
std::string ItemToReopen() {
  if (!OpenedPath().empty()) return OpenedPath();
  const Playlist& playlist = ThePlaylist();
  if (playlist.current_index < 0 ||
      playlist.current_index >= static_cast<int>(playlist.items.size())) {
    return {};
  }
  return playlist.items[static_cast<std::size_t>(playlist.current_index)];
}

void SetNetworkOptions() {
  audio::SetNetAgent(kNetUserAgent);
  audio::SetConfig(audio::Config::kNetTimeoutMs, kNetTimeoutMs);
  audio::SetConfig(audio::Config::kNetBufferMs, kNetBufferMs);
  audio::SetConfig(audio::Config::kNetPrebufferPercent, kNetPrebufferPercent);
}

}  // namespace

bool InitAudioOutput(QWidget* owner) {
  const Settings& settings = TheSettings();
  audio::SetConfig(audio::Config::kBufferMs, settings.buffer_size);
  audio::SetConfig(audio::Config::kUpdatePeriodMs, settings.update_period);
  audio::SetConfig(audio::Config::kVolumeCurve, 1);

  const int device = DeviceIndexByName(settings.device_name);
  State().current_device = device;
  // A saved device that is no longer there (unplugged) is forgotten like one that fails.
  if (device == -1) TheSettings().device_name.clear();
  if (!StartOutputOrDefault(device)) {
    ShowMessageBox(owner, {Translate("Failed to initialize BASS audio library."), "Kestrel",
                           MessageIcon::Error});
    return false;
  }
  LoadSoundFont();
  SetNetworkOptions();
  return true;
}

void FreeAudioOutput() {
  CloseMedia();
  audio::FreeOutput();
}

int CurrentDeviceIndex() { return State().current_device; }

void ResetCurrentDeviceIndex() { State().current_device = -1; }

std::vector<OutputDeviceChoice> EnabledOutputDevices() {
  std::vector<OutputDeviceChoice> devices;
  audio::DeviceInfo info;
  for (int device = 1; audio::GetDeviceInfo(device, &info); ++device) {
    if (info.enabled) devices.push_back({device, info.name, info.is_default});
  }
  return devices;
}

int DeviceIndexByName(const std::string& name) {
  if (name.empty()) return -1;
  for (const OutputDeviceChoice& device : EnabledOutputDevices()) {
    if (device.name == name) return device.number;
  }
  return -1;
}

std::string DeviceNameByIndex(int device) {
  audio::DeviceInfo info;
  if (device <= 0 || !audio::GetDeviceInfo(device, &info) || !info.enabled) return {};
  return info.name;
}

void SelectDevice(int device) {
  if (device <= 0) return;
  const std::string name = DeviceNameByIndex(device);
  if (!SwitchDevice(device)) {
    Speak(Translate("Failed to switch audio device"));
    return;
  }
  State().current_device = device;
  TheSettings().device_name = name;
  if (!SaveSettings()) LogText("AUDIO", "settings not saved after the device switch");
  Speak(Translate("Switched to ") + name);
}

bool SwitchDevice(int device) {
  PlayerState& player = ThePlayerState();
  const bool had_output = player.output_stream != 0;
  const bool was_playing =
      had_output && audio::IsPlayingState(audio::IsActive(player.output_stream));
  double position = 0;
  std::string path;
  if (had_output) {
    TempoProcessor& processor = GetTempoProcessor();
    if (processor.IsActive()) position = processor.GetPositionSeconds();
    path = ItemToReopen();
    CloseMedia();  // the effect chain, the tempo processor and both streams
  }
  audio::FreeOutput();

  if (!StartOutput(device)) {
    LogFormat("AUDIO", "switch to device %d failed (code %d)", device, audio::LastError());
    if (device != -1 && StartOutput(-1)) {
      State().current_device = -1;
      TheSettings().device_name.clear();
    }
    // What played is gone: the title and status line must not go on naming it.
    if (had_output) RefreshPlaybackDisplay();
    return false;
  }
  State().current_device = device;
  TheSettings().device_name = device == -1 ? std::string() : DeviceNameByIndex(device);
  if (!path.empty() && OpenMedia(path) && player.output_stream != 0) {
    // Paused first, so a paused item does not sound for a moment from where the opener began.
    if (!was_playing) audio::Pause(player.output_stream);
    GetTempoProcessor().SetPositionSeconds(position);
  }
  if (had_output) RefreshPlaybackDisplay();
  return true;
}

void SetOutputStarterForTesting(OutputStarter starter) {
  State().starter_for_testing = std::move(starter);
}

}  // namespace kestrel
