#include "engine/tag_track_info.h"

#include <optional>

#include "audio/audio.h"
#include "engine/media_item.h"
#include "engine/player_state.h"
#include "engine/tag_id3v1.h"
#include "engine/tag_info_texts.h"
#include "engine/tag_lookup.h"
#include "engine/tag_text.h"
#include "engine/time_text.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "speech/speech.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel {
namespace {

// The audio layer decodes every source to 32-bit float.
constexpr int kDecodedSampleBits = 32;

// The first named tag that has a value.
std::string FirstTag(audio::Handle channel, std::initializer_list<std::string_view> names) {
  for (const std::string_view name : names) {
    if (std::string value = GetTag(channel, name); !value.empty()) return value;
  }
  return {};
}

// The tags, then the ID3v1 field, for one of the text fields.
std::string TagOrId3v1(audio::Handle channel, std::initializer_list<std::string_view> names,
                       std::string id3v1::Fields::*field) {
  if (std::string value = FirstTag(channel, names); !value.empty()) return value;
  const auto fields = GetId3v1(channel);
  return fields ? (*fields).*field : std::string();
}

std::string ArtistValue(audio::Handle channel) {
  return TagOrId3v1(channel, {"ARTIST"}, &id3v1::Fields::artist);
}
std::string AlbumValue(audio::Handle channel) {
  return TagOrId3v1(channel, {"ALBUM"}, &id3v1::Fields::album);
}
std::string YearValue(audio::Handle channel) {
  std::string year = TagOrId3v1(channel, {"DATE", "YEAR"}, &id3v1::Fields::year);
  return std::string(tag_text::TrimTrailingBlanks(year));
}
std::string CommentValue(audio::Handle channel) {
  return TagOrId3v1(channel, {"COMMENT", "DESCRIPTION"}, &id3v1::Fields::comment);
}

std::string TrackValue(audio::Handle channel) {
  if (std::string track = FirstTag(channel, {"TRACKNUMBER", "TRACK"}); !track.empty()) return track;
  const auto fields = GetId3v1(channel);
  return fields && fields->track > 0 ? std::to_string(fields->track) : std::string();
}

std::string GenreValue(audio::Handle channel) {
  if (std::string genre = GetTag(channel, "GENRE"); !genre.empty()) return genre;
  const auto fields = GetId3v1(channel);
  return fields ? std::string(id3v1::GenreName(fields->genre)) : std::string();
}

std::string TitleValue(audio::Handle channel) {
  if (std::string stream_title = GetStreamTitle(channel); !stream_title.empty()) return stream_title;
  std::string title = GetTag(channel, "TITLE");
  std::string artist = GetTag(channel, "ARTIST");
  if (title.empty() || artist.empty()) {
    if (const auto fields = GetId3v1(channel)) {
      if (title.empty()) title = fields->title;
      if (artist.empty()) artist = fields->artist;
    }
  }
  if (!artist.empty() && !title.empty()) return artist + " - " + title;
  return title.empty() ? artist : title;
}

// The playlist's current item, when there is one.
std::optional<std::string> CurrentItem() {
  const Playlist& playlist = ThePlaylist();
  if (playlist.current_index < 0 ||
      playlist.current_index >= static_cast<int>(playlist.items.size())) {
    return std::nullopt;
  }
  return playlist.items[static_cast<std::size_t>(playlist.current_index)];
}

// A value with its translated prefix, or the translated text for its absence.
std::string Prefixed(std::string_view prefix, const std::string& value, std::string_view missing) {
  return value.empty() ? Translate(missing) : Translate(prefix) + value;
}

std::string SpokenFormat() {
  const audio::Handle output = ThePlayerState().output_stream;
  if (output == 0) return Translate("Nothing playing");
  audio::ChannelInfo info;
  if (!audio::GetInfo(output, &info)) return Translate("Cannot get info");
  const audio::Handle channel = TagChannel();
  float bitrate = 0;
  if (!audio::GetAttribute(channel, audio::Attribute::kBitrate, &bitrate) || !(bitrate > 0)) {
    bitrate = static_cast<float>(GetStationBitrate(channel));
  }
  return SpokenFormatText(bitrate, info.sample_rate, info.channels, kDecodedSampleBits);
}

// The length of what plays in seconds when it is known and above 0.
std::optional<double> ProcessorLength() {
  const TempoProcessor& processor = GetTempoProcessor();
  if (!processor.IsActive()) return std::nullopt;
  const double length = processor.GetLengthSeconds();
  return length > 0 ? std::optional<double>(length) : std::nullopt;
}

std::string SpokenDuration() {
  if (ThePlayerState().output_stream == 0) return Translate("Nothing playing");
  if (const auto length = ProcessorLength()) return SpokenDurationText(*length);
  const auto item = CurrentItem();
  return Translate(item && IsUrlItem(*item) ? "Live stream" : "Unknown duration");
}

std::string SpokenFileName() {
  const auto item = CurrentItem();
  if (TagChannel() == 0 || !item) return Translate("Nothing playing");
  if (IsUrlItem(*item)) return Translate("URL: ") + *item;
  return Translate("Filename: ") + std::string(FileNameOf(*item));
}

std::string ShownFormat(audio::Handle channel) {
  float bitrate = 0;
  audio::ChannelInfo info;
  if (!audio::GetAttribute(channel, audio::Attribute::kBitrate, &bitrate) ||
      !audio::GetInfo(channel, &info)) {
    return Translate("Unknown bitrate");
  }
  return ShownFormatText(bitrate, info.sample_rate, info.channels);
}

std::string ShownDuration(audio::Handle channel) {
  if (const auto length = ProcessorLength()) return TimeText(*length);
  const std::int64_t bytes = audio::GetLength(channel);
  if (bytes > 0) {
    const double seconds = audio::BytesToSeconds(channel, bytes);
    if (seconds > 0) return TimeText(seconds);
  }
  return Translate("Unknown duration");
}

std::string OrMissing(const std::string& value, std::string_view missing) {
  return value.empty() ? Translate(missing) : value;
}

}  // namespace

std::string CurrentTitleText() {
  const audio::Handle channel = TagChannel();
  return channel == 0 ? std::string() : TitleValue(channel);
}

std::string SpokenTrackInfo(TrackInfoField field) {
  switch (field) {
    case TrackInfoField::kBitrate: return SpokenFormat();
    case TrackInfoField::kDuration: return SpokenDuration();
    case TrackInfoField::kFileName: return SpokenFileName();
    default: break;
  }
  const audio::Handle channel = TagChannel();
  if (channel == 0) return Translate("Nothing playing");
  switch (field) {
    case TrackInfoField::kTitle: return OrMissing(TitleValue(channel), "No title");
    case TrackInfoField::kArtist: return Prefixed("Artist: ", ArtistValue(channel), "No artist");
    case TrackInfoField::kAlbum: {
      if (std::string album = AlbumValue(channel); !album.empty()) {
        return Translate("Album: ") + album;
      }
      return Prefixed("Station: ", GetStationName(channel), "No album");
    }
    case TrackInfoField::kYear: return Prefixed("Year: ", YearValue(channel), "No year");
    case TrackInfoField::kTrack: return Prefixed("Track: ", TrackValue(channel), "No track number");
    case TrackInfoField::kGenre: return Prefixed("Genre: ", GenreValue(channel), "No genre");
    case TrackInfoField::kComment: return Prefixed("Comment: ", CommentValue(channel), "No comment");
    default: return {};
  }
}

void SpeakTrackInfo(TrackInfoField field) { Speak(SpokenTrackInfo(field), true); }

std::string ShownTrackInfo(TrackInfoField field) {
  const audio::Handle channel = TagChannel();
  if (channel == 0) return Translate("Nothing playing");
  switch (field) {
    case TrackInfoField::kTitle: return OrMissing(TitleValue(channel), "No title");
    case TrackInfoField::kArtist: return OrMissing(ArtistValue(channel), "No artist");
    case TrackInfoField::kAlbum: {
      std::string album = AlbumValue(channel);
      if (album.empty()) album = GetStationName(channel);
      return OrMissing(album, "No album");
    }
    case TrackInfoField::kYear: return OrMissing(YearValue(channel), "No year");
    case TrackInfoField::kTrack: return OrMissing(TrackValue(channel), "No track");
    case TrackInfoField::kGenre: return OrMissing(GenreValue(channel), "No genre");
    case TrackInfoField::kComment: return OrMissing(CommentValue(channel), "No comment");
    case TrackInfoField::kBitrate: return ShownFormat(channel);
    case TrackInfoField::kDuration: return ShownDuration(channel);
    case TrackInfoField::kFileName: {
      const auto item = CurrentItem();
      if (!item) return Translate("Nothing playing");
      return IsUrlItem(*item) ? *item : std::string(FileNameOf(*item));
    }
  }
  return {};
}

const char* TrackInfoCaption(TrackInfoField field) {
  switch (field) {
    case TrackInfoField::kTitle: return "Title";
    case TrackInfoField::kArtist: return "Artist";
    case TrackInfoField::kAlbum: return "Album";
    case TrackInfoField::kYear: return "Year";
    case TrackInfoField::kTrack: return "Track";
    case TrackInfoField::kGenre: return "Genre";
    case TrackInfoField::kComment: return "Comment";
    case TrackInfoField::kBitrate: return "Bitrate";
    case TrackInfoField::kDuration: return "Duration";
    case TrackInfoField::kFileName: return "Filename";
  }
  return "";
}

}  // namespace kestrel
