#include "storage/session_store.h"

#include <cmath>

#include "storage/ini_file.h"
#include "storage/ini_values.h"
#include "storage/numbered_keys.h"
#include "storage/setting_rows.h"
#include "storage/settings.h"

namespace kestrel {
namespace {

constexpr std::string_view kState = "State";
constexpr std::string_view kPlaylist = "Playlist";
constexpr std::string_view kTrackPrefix = "Track";
constexpr std::size_t kLongestItem = 2047;
constexpr std::size_t kLongestPosition = 31;

constexpr SettingRule kCountRule{SettingKind::kInt, 0};

}  // namespace

SessionState ReadSessionState(const IniDocument& document) {
  SessionState state;
  const int count = ReadIntSetting(document.Find(kState, "TrackCount"), kCountRule);
  for (NumberedValue& track :
       ReadNumberedValues(document, kPlaylist, kTrackPrefix, count, kLongestItem)) {
    if (!track.value.empty()) state.tracks.push_back(std::move(track.value));
  }
  state.current_track = ReadIntSetting(document.Find(kState, "CurrentTrack"), kCountRule);
  state.last_file = CutToCharacters(document.Find(kState, "LastFile").value_or(""), kLongestItem);
  const double position = ParseLeadingFraction(
      CutToCharacters(document.Find(kState, "LastPosition").value_or("0"), kLongestPosition));
  state.last_position = std::isfinite(position) ? position : 0.0;
  return state;
}

bool WriteSessionState(IniDocument& document, const std::vector<std::string>& tracks,
                       int current_index, double position_seconds) {
  document.ClearSection(kPlaylist);
  const bool index_valid = current_index >= 0 && static_cast<std::size_t>(current_index) < tracks.size();

  // Keep the numbering without gaps so the index still names the same item when read back.
  std::vector<const std::string*> kept;
  int kept_index = index_valid ? -1 : current_index;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    if (!IniDocument::CanHoldValue(tracks[i])) continue;
    if (index_valid && static_cast<int>(i) == current_index) kept_index = static_cast<int>(kept.size());
    kept.push_back(&tracks[i]);
  }

  document.Set(kState, "TrackCount", FormatInt(static_cast<long long>(kept.size())));
  for (std::size_t i = 0; i < kept.size(); ++i) {
    document.Set(kPlaylist, NumberedKey(kTrackPrefix, static_cast<long long>(i)), *kept[i]);
  }
  document.Set(kState, "CurrentTrack", FormatInt(kept_index));
  if (kept_index >= 0 && static_cast<std::size_t>(kept_index) < kept.size()) {
    document.Set(kState, "LastFile", *kept[kept_index]);
    document.Set(kState, "LastPosition",
                 FormatFixed(std::isfinite(position_seconds) ? position_seconds : 0.0, 2));
  } else {
    document.Set(kState, "LastFile", "");
    document.Set(kState, "LastPosition", "0");
  }
  return kept.size() == tracks.size();
}

void WriteForgottenSessionState(IniDocument& document) {
  document.ClearSection(kPlaylist);
  document.Set(kState, "LastFile", "");
  document.Set(kState, "LastPosition", "0");
  document.Set(kState, "TrackCount", "0");
  document.Set(kState, "CurrentTrack", "0");
}

SessionState LoadSessionState() { return ReadSessionState(ReadIniFile(SettingsFilePath())); }

bool SaveSessionState(const std::vector<std::string>& tracks, int current_index,
                      double position_seconds) {
  bool all_written = true;
  const bool file_written = UpdateIniFile(SettingsFilePath(), [&](IniDocument& document) {
    all_written = WriteSessionState(document, tracks, current_index, position_seconds);
  });
  return file_written && all_written;
}

bool ForgetSessionState() {
  return UpdateIniFile(SettingsFilePath(), WriteForgottenSessionState);
}

}  // namespace kestrel
