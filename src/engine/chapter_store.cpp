#include "engine/chapter_store.h"

#include <optional>
#include <utility>

#include "base/post_to_ui.h"
#include "engine/chapter_id3.h"
#include "engine/chapter_vorbis.h"
#include "engine/player_state.h"
#include "i18n/translate.h"

namespace kestrel {
namespace {

struct PendingChapters {
  std::string item;
  ChapterList entries;
};

struct ChapterState {
  ChapterList list;
  audio::Handle channel = 0;  // the metadata channel of the open the list belongs to
  std::string item;           // the item that open was of
  bool handed_over = false;   // the list came from the podcast dialog, not from the tags
  std::optional<PendingChapters> pending;
};

ChapterState& State() {
  static ChapterState state;
  return state;
}

// The spoken language's "Chapter N" for chapters without a title.
std::string LocalChapterName(int number) {
  return Translate("Chapter ") + std::to_string(number);
}

ChapterList ChaptersInTags(audio::Handle channel) {
  if (channel == 0) return {};
  ChapterList list;
  if (const auto comments = audio::GetTags(channel, audio::TagBlock::kVorbis)) {
    list = ParseVorbisChapters(*comments, LocalChapterName);
  }
  if (list.empty()) {
    if (const auto id3v2 = audio::GetTags(channel, audio::TagBlock::kId3v2)) {
      list = ParseId3v2Chapters(*id3v2, LocalChapterName);
    }
  }
  return list;
}

const ChapterList kNoChapters;

}  // namespace

void SetPendingChapters(const std::string& item, ChapterList entries) {
  ChapterState& state = State();
  if (entries.empty()) {
    state.pending.reset();
    return;
  }
  state.pending = PendingChapters{item, std::move(entries)};
}

void ReadChaptersAtOpen(audio::Handle channel, const std::string& item) {
  ChapterState& state = State();
  // A hand-over is for the very next open: it is used by it or dropped.
  std::optional<PendingChapters> pending = std::exchange(state.pending, std::nullopt);
  const bool same_item = !item.empty() && item == state.item;

  if (pending && pending->item == item) {
    state.list = std::move(pending->entries);
    state.handed_over = true;
  } else if (!(state.handed_over && same_item)) {
    state.list = ChaptersInTags(channel);
    state.handed_over = false;
  }
  state.channel = channel;
  state.item = item;
}

void RequestChaptersAfterDownload(audio::Handle channel) {
  PostToUi(kMsgChaptersDownloaded, 0, static_cast<std::int64_t>(channel));
}

void ReadChaptersAfterDownload(audio::Handle channel) {
  ChapterState& state = State();
  // The item may have changed while the message waited: only the current one's channel counts.
  if (channel == 0 || channel != ThePlayerState().meta_channel || HasChapters()) return;
  state.list = ChaptersInTags(channel);
  state.channel = channel;
  state.handed_over = false;
}

bool HasChapters() {
  const ChapterState& state = State();
  return !state.list.empty() && state.channel != 0 &&
         state.channel == ThePlayerState().meta_channel;
}

const ChapterList& CurrentChapters() { return HasChapters() ? State().list : kNoChapters; }

void ResetChaptersForTesting() { State() = ChapterState{}; }

}  // namespace kestrel
