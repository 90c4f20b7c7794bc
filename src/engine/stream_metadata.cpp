#include "engine/stream_metadata.h"

#include <string>

#include "engine/tag_lookup.h"
#include "speech/speech.h"
#include "storage/database.h"
#include "storage/settings.h"

namespace kestrel {
namespace {

// The last title handled, and on which channel: handles are never reused, so a stream opened
// anew announces its first title even when it is the one heard before.
struct LastTitle {
  audio::Handle channel = 0;
  std::string title;
};

LastTitle& TheLastTitle() {
  static LastTitle last;
  return last;
}

}  // namespace

void OnStreamMetadata() {
  // TagChannel() prefers the metadata channel: an internet stream's own source, which holds the
  // ICY blocks and stays valid while the tempo stream owns it (the source handle is then 0).
  const audio::Handle channel = TagChannel();
  if (channel == 0) return;
  const std::string title = GetStreamTitle(channel);
  if (title.empty()) return;
  AddSongHistory(title);

  LastTitle& last = TheLastTitle();
  const bool repeated = last.channel == channel && last.title == title;
  last = {channel, title};
  if (!repeated && TheSettings().track_change) Speak(title, true);
}

void NoteAnnouncedStreamTitle(audio::Handle channel, const std::string& title) {
  if (!title.empty()) TheLastTitle() = {channel, title};
}

}  // namespace kestrel
