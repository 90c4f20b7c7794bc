#pragma once

#include <string>
#include <string_view>

#include "audio/audio.h"

// What is said when a new item starts with [Speech] TrackChange on.
namespace kestrel {

struct TrackTags {
  std::string stream_title;  // an internet stream's current title
  std::string title;         // the item's TITLE tag, as the tag lookup finds it
  std::string artist;        // the item's ARTIST tag
  std::string id3v1;         // the raw 128-byte ID3v1 block, or empty
};

// The stream title when there is one; else "artist - title", or the title alone (taken from the
// ID3v1 block when the lists have none); else the item's file name, cut to 511 bytes.
std::string TrackAnnouncementText(const TrackTags& tags, std::string_view item);

// The tags of a channel: its stream title, TITLE and ARTIST through the tag lookup (ID3v2, Vorbis
// comments, APE, MP4, ASF, RIFF INFO...), and its ID3v1 block.
TrackTags ReadTrackTags(audio::Handle channel);

// Speaks the current item's announcement (interrupting); nothing when no channel is open.
void AnnounceCurrentTrack();

}  // namespace kestrel
