#include "storage/settings.h"

#include "i18n/translate.h"
#include "storage/ini_file.h"
#include "storage/settings_table.h"

namespace kestrel {
namespace {

// What the last load saw, so a save keeps the changes another running copy made since.
std::vector<LoadedSetting>& LoadedSettings() {
  static auto* loaded = new std::vector<LoadedSetting>;
  return *loaded;
}

}  // namespace

Settings& TheSettings() {
  static auto* settings = new Settings;
  return *settings;
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
  SetLanguage(settings.language.empty() ? SystemLanguage() : settings.language);
  LoadedSettings() = SnapshotSettingRows(file, SettingsTable(), settings);
}

bool SaveSettings() {
  // Under the file's lock the file is read again and only our keys are replaced; of those, the
  // ones another running copy changed since our load and we did not keep its value.
  bool every_row_written = true;
  std::vector<LoadedSetting> next_snapshot;
  const bool file_written = UpdateIniFile(SettingsFilePath(), [&](IniDocument& document) {
    every_row_written =
        MergeSettingRows(document, SettingsTable(), TheSettings(), LoadedSettings(), next_snapshot);
  });
  if (file_written) LoadedSettings() = std::move(next_snapshot);
  return file_written && every_row_written;
}

}  // namespace kestrel
