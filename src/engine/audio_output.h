#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

// The output device the player sounds through: starting it with the saved device (or the system
// default), the MIDI SoundFont and the options internet streams use, the list of devices users
// choose from, and moving playback to another device while keeping the current item, its
// position and whether it was playing. Everything here runs on the user-interface thread.
namespace kestrel {

inline constexpr int kOutputMixRate = 44100;
// The identity internet stations see; some refuse clients they do not recognise as a browser.
inline constexpr char kNetUserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36";
inline constexpr int kNetTimeoutMs = 30000;
inline constexpr int kNetBufferMs = 10000;
inline constexpr int kNetPrebufferPercent = 50;

// Configures and starts output on [Playback] DeviceName, falling back to the system default
// (and then forgetting the saved name in memory), loads the SoundFont and sets the network
// options. False when no device could be started: the user has been told in a message box owned
// by `owner`, and the program cannot run.
bool InitAudioOutput(QWidget* owner);
// Frees the channels of what is open and stops output.
void FreeAudioOutput();

// The device in use: a device number from 1, or -1 for the system default.
int CurrentDeviceIndex();
// Forgets the device in use, as when the settings are loaded (the next start resolves it anew).
void ResetCurrentDeviceIndex();

// A device users can choose: enabled, never the no-sound device 0.
struct OutputDeviceChoice {
  int number = 0;
  std::string name;
  bool is_default = false;  // the system's default device
};
// Every enabled device from 1 on, in the audio layer's order.
std::vector<OutputDeviceChoice> EnabledOutputDevices();

// The enabled device of exactly this name; -1 for an empty name or one not found.
int DeviceIndexByName(const std::string& name);
// The name of an enabled device; empty for 0 or below, a disabled device or one that does not
// exist.
std::string DeviceNameByIndex(int device);

// The user's choice of device: switches to it, saves the settings and says what happened.
// Numbers of 0 and below are ignored.
void SelectDevice(int device);
// Moves output to `device` (-1: the system default), reopening the current item at the same
// position, paused unless it was playing. On failure output falls back to the system default
// when it can, and nothing is reopened.
bool SwitchDevice(int device);

// Tests make chosen devices fail to start: the starter is called instead of the audio layer's
// InitOutput (device, mix rate) and may pass the call on to it. nullptr restores InitOutput.
using OutputStarter = std::function<bool(int device, int mix_rate)>;
void SetOutputStarterForTesting(OutputStarter starter);

}  // namespace kestrel
