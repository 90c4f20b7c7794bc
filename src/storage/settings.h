#pragma once

#include <filesystem>
#include <string>

// The in-memory settings: one field per key of Kestrel.ini, read once at start and written back
// at the fixed saving moments.
namespace kestrel {

struct Settings {
  // [General]
  std::string language;  // "", "en" or "fr"
  // [Playback]
  bool bring_to_front = true;
  bool minimize_to_tray = true;
  bool load_folder = false;
  bool register_file_types = false;
  bool show_title_in_window = true;
  bool shuffle = false;
  bool check_for_updates = true;
  bool allow_multiple_instances = false;
  // [Advanced]
  bool disable_batch_delay = false;
};

// The process-wide record, touched only on the user-interface thread.
Settings& TheSettings();

// The settings file, resolved once: installed copies keep it in the user's configuration folder,
// portable ones beside the executable; KESTREL_HOME overrides both.
std::filesystem::path SettingsFilePath();
bool IsInstalledCopy();
// Forgets the resolved path so the next call resolves it again (tests change KESTREL_HOME).
void ResetSettingsPathForTesting();

// The early read made before anything else is loaded.
bool ReadAllowMultipleInstances();

// Loads every key (missing keys take their defaults) and makes the language active.
void LoadSettings();
// Writes every key in place; false when the file could not be written.
bool SaveSettings();

}  // namespace kestrel
