#include "engine/media_item.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

TEST(MediaItem, InternetAddressesAreRecognisedInAnyCase) {
  struct Case {
    const char* item;
    bool url;
    bool stream_url;
  };
  const Case cases[] = {
      {"http://example.com/a.mp3", true, true},
      {"HTTPS://Example.com/live", true, true},
      {"Ftp://example.com/a.mp3", true, false},
      {"mms://example.com/a", false, false},
      {"rtsp://example.com/a", false, false},
      {"/home/me/http://not-a-url.mp3", false, false},
      {"http:/", false, false},
      {"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsUrlItem(c.item), c.url) << c.item;
    EXPECT_EQ(IsSupportedStreamUrl(c.item), c.stream_url) << c.item;
  }
}

TEST(MediaItem, FileNamesAndExtensionsSplitOnBothSeparators) {
  struct Case {
    const char* item;
    const char* name;
    const char* extension;
  };
  const Case cases[] = {
      {"/home/me/Music/song.FLAC", "song.FLAC", ".flac"},
      {"C:\\Music\\Album\\track.Mp3", "track.Mp3", ".mp3"},
      {"mixed/dir\\name.ogg", "name.ogg", ".ogg"},
      {"plain.wav", "plain.wav", ".wav"},
      // A dot in a folder name is not the file's extension.
      {"/home/me/show.mkv/episode", "episode", ""},
      {"/home/me/Music/README", "README", ""},
      {"/home/me/.hidden", ".hidden", ".hidden"},
      {"/home/me/folder/", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNameOf(c.item), c.name) << c.item;
    EXPECT_EQ(ExtensionOf(c.item), c.extension) << c.item;
  }
}

TEST(MediaItem, VideoAndMidiExtensionLists) {
  for (const char* video : {".mkv", ".avi", ".mov", ".webm", ".flv", ".ts", ".m2ts", ".vob", ".ogv",
                            ".3gp", ".mpg", ".mpeg", ".m4v", ".divx"}) {
    EXPECT_TRUE(IsVideoExtension(video)) << video;
    EXPECT_TRUE(IsVideoOnlyExtension(video)) << video;
    EXPECT_FALSE(IsMidiExtension(video)) << video;
  }
  // The video engine plays .rmvb, but without it the audio decoder gets a chance.
  EXPECT_TRUE(IsVideoExtension(".rmvb"));
  EXPECT_FALSE(IsVideoOnlyExtension(".rmvb"));

  for (const char* midi : {".mid", ".midi", ".kar", ".rmi"}) {
    EXPECT_TRUE(IsMidiExtension(midi)) << midi;
    EXPECT_FALSE(IsVideoExtension(midi)) << midi;
  }
  for (const char* audio : {".mp3", ".flac", ".wav", ".mp4", ".m4a", "", "mkv"}) {
    EXPECT_FALSE(IsVideoExtension(audio)) << audio;
    EXPECT_FALSE(IsMidiExtension(audio)) << audio;
  }
}

}  // namespace
}  // namespace kestrel
