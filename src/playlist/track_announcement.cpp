#include "playlist/track_announcement.h"

#include <utility>

#include "base/utf8.h"
#include "engine/media_item.h"
#include "engine/player_state.h"
#include "engine/stream_metadata.h"
#include "engine/tag_lookup.h"
#include "playlist/playlist.h"
#include "speech/speech.h"

namespace kestrel {
namespace {

constexpr std::size_t kLongestSpokenName = 511;  // what a 512-byte buffer holds
constexpr std::size_t kId3v1Size = 128;

// Text of an ID3v1 field: up to the first NUL, trailing blanks dropped, read as Latin-1 when it
// is not UTF-8.
std::string Id3v1Field(std::string_view block, std::size_t offset) {
  if (block.size() < kId3v1Size || block.substr(0, 3) != "TAG") return {};
  std::string_view field = block.substr(offset, 30);
  field = field.substr(0, field.find('\0'));
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  if (IsValidUtf8(field)) return std::string(field);
  std::string text;
  for (const unsigned char c : field) {
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

// Cut to at most `limit` bytes without splitting a character.
std::string CutUtf8(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return std::string(text);
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

}  // namespace

std::string TrackAnnouncementText(const TrackTags& tags, std::string_view item) {
  if (!tags.stream_title.empty()) return tags.stream_title;
  std::string title = tags.title;
  std::string artist = tags.artist;
  if (title.empty()) {
    title = Id3v1Field(tags.id3v1, 3);
    if (artist.empty()) artist = Id3v1Field(tags.id3v1, 33);
  }
  if (!title.empty() && !artist.empty()) return artist + " - " + title;
  if (!title.empty()) return title;
  return CutUtf8(FileNameOf(item), kLongestSpokenName);
}

TrackTags ReadTrackTags(audio::Handle channel) {
  TrackTags tags;
  tags.stream_title = GetStreamTitle(channel);
  tags.title = GetTag(channel, "TITLE");
  tags.artist = GetTag(channel, "ARTIST");
  if (const auto id3v1 = audio::GetTags(channel, audio::TagBlock::kId3v1)) tags.id3v1 = *id3v1;
  return tags;
}

void AnnounceCurrentTrack() {
  const PlayerState& state = ThePlayerState();
  const audio::Handle channel = state.meta_channel != 0 ? state.meta_channel : state.output_stream;
  const Playlist& playlist = ThePlaylist();
  if (channel == 0 || playlist.current_index < 0 ||
      playlist.current_index >= static_cast<int>(playlist.items.size())) {
    return;
  }
  const TrackTags tags = ReadTrackTags(channel);
  Speak(TrackAnnouncementText(tags,
                              playlist.items[static_cast<std::size_t>(playlist.current_index)]));
  // The stream's first title report would say the same again.
  NoteAnnouncedStreamTitle(channel, tags.stream_title);
}

}  // namespace kestrel
