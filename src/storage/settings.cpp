#include "storage/settings.h"

#include "i18n/translate.h"
#include "storage/ini_file.h"
#include "storage/recent_files.h"
#include "storage/settings_table.h"
#include "storage/ytdlp_location.h"

namespace kestrel {
namespace {

// What the loads saw, so a save keeps the changes another running copy made since.
struct SeenAtLoad {
  bool general_known = false;
  std::vector<LoadedSetting> general;
  bool effects_known = false;  // LoadEffectSettings has run
  std::vector<LoadedSetting> effects;
  std::vector<std::string> recent_files;  // the file's list as loaded or last written
};

SeenAtLoad& TheSeenAtLoad() {
  static auto* seen = new SeenAtLoad;
  return *seen;
}

constexpr SettingRule kYtdlpVersionRule{SettingKind::kText, 0, {}, {}, 0, 63};

}  // namespace

Settings& TheSettings() {
  static auto* settings = new Settings;
  return *settings;
}

void ResetSettingsStoreForTesting() {
  ResetSettingsPathForTesting();
  TheSeenAtLoad() = SeenAtLoad{};
}

bool ReadAllowMultipleInstances() {
  // The same table and rules as the full load, into a scratch record.
  Settings early;
  LoadSettingRows(ReadIniFile(SettingsFilePath()), SettingsTable(), early);
  return early.allow_multiple_instances;
}

void LoadSettings() {
  Settings& settings = TheSettings();
  const IniDocument file = ReadIniFile(SettingsFilePath());
  LoadSettingRows(file, SettingsTable(), settings);
  // The stored path is only a record of the last run; the program may have moved since.
  settings.ytdlp_path = LocateYtDlp(YtDlpPlacesOfThisProcess()).string();
  SetLanguage(settings.language.empty() ? SystemLanguage() : settings.language);

  SeenAtLoad& seen = TheSeenAtLoad();
  seen.general = SnapshotSettingRows(file, SettingsTable(), settings);
  seen.general_known = true;
}

void LoadEffectSettings() {
  Settings& settings = TheSettings();
  const IniDocument file = ReadIniFile(SettingsFilePath());
  LoadSettingRows(file, EffectSettingsTable(), settings);
  settings.recent_files = ReadRecentFiles(file);

  SeenAtLoad& seen = TheSeenAtLoad();
  seen.effects = SnapshotSettingRows(file, EffectSettingsTable(), settings);
  seen.recent_files = settings.recent_files;
  seen.effects_known = true;
}

bool SaveSettings() {
  SeenAtLoad& seen = TheSeenAtLoad();
  const Settings& settings = TheSettings();
  // A copy that never loaded counts as one that loaded an empty file: it writes what it changed
  // from the defaults and what the file lacks, never over another copy's values.
  const std::vector<LoadedSetting> general_seen =
      seen.general_known ? seen.general : SnapshotSettingRows(IniDocument(), SettingsTable(), Settings());

  bool every_value_written = true;
  std::vector<LoadedSetting> next_general, next_effects;
  std::vector<std::string> next_recent_files;
  // Under the file's lock the file is read again and only our keys are replaced.
  const bool file_written = UpdateIniFile(SettingsFilePath(), [&](IniDocument& document) {
    every_value_written =
        MergeSettingRows(document, SettingsTable(), settings, general_seen, next_general);
    if (!seen.effects_known) return;
    every_value_written = MergeSettingRows(document, EffectSettingsTable(), settings,
                                           seen.effects, next_effects) &&
                          every_value_written;
    // The recent list is one value: written when changed here or left as loaded in the file.
    const bool changed_here = settings.recent_files != seen.recent_files;
    if (changed_here || ReadRecentFiles(document) == seen.recent_files) {
      every_value_written = WriteRecentFiles(document, settings.recent_files) && every_value_written;
      next_recent_files = ReadRecentFiles(document);
    } else {
      next_recent_files = seen.recent_files;
    }
  });
  if (file_written) {
    seen.general = std::move(next_general);
    seen.general_known = true;
    if (seen.effects_known) {
      seen.effects = std::move(next_effects);
      seen.recent_files = std::move(next_recent_files);
    }
  }
  return file_written && every_value_written;
}

std::string ReadYtdlpVersion() {
  return ReadTextSetting(ReadIniFile(SettingsFilePath()).Find("YouTube", "YtdlpVersion"),
                         kYtdlpVersionRule);
}

bool WriteYtdlpVersion(const std::string& tag) {
  bool written = false;
  const bool file_written = UpdateIniFile(SettingsFilePath(), [&](IniDocument& document) {
    written = document.Set("YouTube", "YtdlpVersion", tag);
  });
  return file_written && written;
}

}  // namespace kestrel
