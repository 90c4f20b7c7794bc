#include "app/status_line.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>
#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

#include "app/pending_steps.h"
#include "audio/audio.h"
#include "engine/player_state.h"
#include "engine/tag_lookup.h"
#include "engine/time_text.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel {
namespace {

constexpr const char* kNoPosition = "--:-- / --:--";

struct StatusParts {
  std::array<QPointer<QLabel>, 3> labels;
  std::uint64_t refreshes = 0;
};
StatusParts& Parts() {
  static auto* parts = new StatusParts;
  return *parts;
}

std::string PositionText(double position, double length) {
  return TimeText(position) + " / " + TimeText(length);
}

// Appends " | " and `part`, the separator only after text.
void AppendPart(std::string& text, const std::string& part) {
  if (!text.empty()) text += " | ";
  text += part;
}

std::string StateText(audio::ActiveState state) {
  switch (state) {
    case audio::ActiveState::kStopped: return Translate("Stopped");
    case audio::ActiveState::kPlaying:
    case audio::ActiveState::kStalled:  // waiting a moment for data: still playing
      return Translate("Playing");
    case audio::ActiveState::kPaused: return Translate("Paused");
    default: return {};
  }
}

// The bitrate shown beside the state: the metadata channel's own, else the one reported at open
// time, else the station's announced one; 0 when none is known.
int CurrentBitrateKbps(const PlayerState& state) {
  float attribute = 0;
  if (state.meta_channel != 0 && audio::GetAttribute(state.meta_channel, audio::Attribute::kBitrate, &attribute) &&
      attribute > 0) {
    return static_cast<int>(attribute);
  }
  if (state.bitrate_kbps > 0) return state.bitrate_kbps;
  return state.meta_channel != 0 ? GetStationBitrate(state.meta_channel) : 0;
}

std::function<pending::VideoPlayback()>& VideoSource() {
  static std::function<pending::VideoPlayback()> source;
  return source;
}

std::function<bool()>& RecordingSource() {
  static std::function<bool()> source;
  return source;
}

pending::VideoPlayback CurrentVideo() {
  return VideoSource() ? VideoSource()() : pending::CurrentVideoPlayback();
}

bool Recording() { return RecordingSource() ? RecordingSource()() : pending::IsRecording(); }

void VideoTexts(StatusTexts& texts) {
  const pending::VideoPlayback video = CurrentVideo();
  if (video.duration > 0) texts.position = PositionText(video.position, video.duration);
  texts.state = Translate(video.playing ? "Playing" : video.paused ? "Paused" : "Stopped");
  if (ThePlayerState().video_loaded) texts.state += " | " + Translate("Video");
}

void AudioTexts(StatusTexts& texts) {
  const PlayerState& state = ThePlayerState();
  if (state.output_stream != 0) {
    const TempoProcessor& processor = GetTempoProcessor();
    const double length = processor.IsActive() ? processor.GetLengthSeconds() : 0;
    if (length > 0) texts.position = PositionText(processor.GetPositionSeconds(), length);
  }
  // An absent stream reads as stopped.
  texts.state = StateText(audio::IsActive(state.output_stream));
  if (state.output_stream != 0) {
    if (const int kbps = CurrentBitrateKbps(state); kbps > 0) AppendPart(texts.state, std::to_string(kbps) + " kbps");
  }
  if (Recording()) AppendPart(texts.state, Translate("REC"));
}

std::string VolumeText() {
  const int percent = static_cast<int>(TheSettings().playback_volume * 100.0f + 0.5f);
  std::string text = Translate("Vol") + ": " + std::to_string(percent) + "%";
  // Muting keeps the volume setting; without this the bar would claim the player is heard.
  if (ThePlayerState().muted) text += " | " + Translate("Muted");
  return text;
}

}  // namespace

StatusTexts CurrentStatusTexts() {
  StatusTexts texts;
  texts.position = kNoPosition;
  if (ThePlayerState().source_kind == SourceKind::kVideo) {
    VideoTexts(texts);
  } else {
    AudioTexts(texts);
  }
  texts.volume = VolumeText();
  return texts;
}

void CreateStatusBar(QMainWindow& window) {
  QStatusBar* bar = window.statusBar();
  bar->setSizeGripEnabled(true);
  // What each part tells, for a screen reader's description; the part's name is its text.
  static constexpr const char* kPurposes[] = {"Position", "Volume", "Playback state"};
  static constexpr int kWidths[] = {200, 100, 0};
  for (int part = 0; part < 3; ++part) {
    auto* label = new QLabel(bar);
    label->setObjectName(QStringLiteral("status_part_%1").arg(part));
    label->setAccessibleDescription(QString::fromStdString(Translate(kPurposes[part])));
    label->setTextFormat(Qt::PlainText);
    if (kWidths[part] > 0) {
      label->setFixedWidth(kWidths[part]);
      bar->addWidget(label);
    } else {
      bar->addWidget(label, 1);
    }
    Parts().labels[part] = label;
  }
}

void RefreshStatusLine() {
  StatusParts& parts = Parts();
  ++parts.refreshes;
  if (!parts.labels[0] || !parts.labels[1] || !parts.labels[2]) return;
  if (ThePlayerState().loading || ThePlaylist().opening) return;
  const StatusTexts texts = CurrentStatusTexts();
  const std::string* values[] = {&texts.position, &texts.volume, &texts.state};
  for (int part = 0; part < 3; ++part) {
    const QString text = QString::fromStdString(*values[part]);
    if (parts.labels[part]->text() != text) parts.labels[part]->setText(text);
  }
}

StatusTexts ShownStatusTexts() {
  const StatusParts& parts = Parts();
  if (!parts.labels[0] || !parts.labels[1] || !parts.labels[2]) return {};
  return {parts.labels[0]->text().toStdString(), parts.labels[1]->text().toStdString(),
          parts.labels[2]->text().toStdString()};
}

std::uint64_t StatusLineRefreshCount() { return Parts().refreshes; }

void SetVideoAndRecordingSourcesForTesting(std::function<pending::VideoPlayback()> video,
                                           std::function<bool()> recording) {
  VideoSource() = std::move(video);
  RecordingSource() = std::move(recording);
}

}  // namespace kestrel
