#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "audio/support/stream_like_source.h"
#include "engine/tag_info_texts.h"
#include "engine/tag_test_bytes.h"
#include "engine/tag_track_info.h"
#include "engine/transport_fixture.h"

namespace kestrel {
namespace {

using namespace std::string_literals;
using test::Frame;
using test::Id3v2Tag;
using F = TrackInfoField;

constexpr F kAllFields[] = {F::kTitle, F::kArtist,  F::kAlbum,    F::kYear,    F::kTrack,
                            F::kGenre, F::kComment, F::kBitrate, F::kDuration, F::kFileName};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

using test::StreamLikeSource;

class TagCommandsTest : public test::TransportTest {
 protected:
  void TearDown() override {
    for (const audio::Handle channel : extra_channels_) audio::FreeStream(channel);
    TransportTest::TearDown();
  }

  // What each field's key says about what plays now.
  std::map<F, std::string> SpokenFields() {
    Spoken();
    std::map<F, std::string> said;
    for (const F field : kAllFields) {
      SpeakTrackInfo(field);
      const std::vector<std::string> lines = Spoken();
      said[field] = lines.size() == 1 ? lines[0] : "<" + std::to_string(lines.size()) + " lines>";
    }
    return said;
  }

  // Opens the file as the playlist's only, current item.
  void Play(const std::string& file) {
    ThePlaylist().items = {file};
    ThePlaylist().current_index = 0;
    OpenPaused(file);
  }

  // An MP3 without any tag of its own, for hand-built tags to be put around.
  std::string UntaggedMp3() {
    const auto file = temp_.path() / "plain.mp3";
    EXPECT_TRUE(test::MakeChirpFile(file, {"-map_metadata", "-1", "-c:a", "libmp3lame",
                                           "-id3v2_version", "0"}, 1.0));
    return ReadFile(file);
  }

  std::string Mp3With(const std::string& name, const std::string& id3v2, const std::string& id3v1) {
    const auto file = temp_.path() / name;
    WriteFile(file, id3v2 + UntaggedMp3() + id3v1);
    return file.string();
  }

  // Makes `source` the channel that plays, as opening an internet stream would.
  void PlayStreamLike(std::map<audio::TagBlock, std::string> blocks, const std::string& url) {
    const audio::Handle channel =
        audio::CreateSourceStream(std::make_unique<StreamLikeSource>(std::move(blocks)), 0);
    ASSERT_NE(channel, 0u);
    extra_channels_.push_back(channel);
    ThePlayerState().output_stream = channel;
    ThePlayerState().meta_channel = channel;
    ThePlaylist().items = {url};
    ThePlaylist().current_index = 0;
  }

  // Hands the player state back before the fixture closes what plays.
  void ForgetStreamLike() { ThePlayerState() = PlayerState{}; }

  std::vector<audio::Handle> extra_channels_;
};

TEST_F(TagCommandsTest, NothingPlaying) {
  for (const auto& [field, said] : SpokenFields()) {
    EXPECT_EQ(said, "Nothing playing") << static_cast<int>(field);
    EXPECT_EQ(ShownTrackInfo(field), "Nothing playing") << static_cast<int>(field);
  }
}

TEST_F(TagCommandsTest, FilesTaggedByFfmpegAreSpoken) {
  struct Case {
    const char* file;
    std::vector<std::string> encoder;
  };
  const Case cases[] = {
      {"tagged.mp3", {"-c:a", "libmp3lame", "-b:a", "128k"}},
      {"tagged_v3.mp3", {"-c:a", "libmp3lame", "-b:a", "128k", "-id3v2_version", "3"}},
      {"tagged.flac", {"-c:a", "flac"}},
      {"tagged.ogg", {"-c:a", "libvorbis"}},
      {"tagged.m4a", {"-c:a", "aac"}},
  };
  const std::vector<std::string> tags = {
      "-metadata", "title=Tune",   "-metadata", "artist=B\xC3\xA4nd", "-metadata", "album=Record",
      "-metadata", "date=2021",    "-metadata", "track=5/12",         "-metadata", "genre=Rock",
      "-metadata", "comment=Live recording"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<std::string> args = c.encoder;
    args.insert(args.end(), tags.begin(), tags.end());
    const auto file = temp_.path() / c.file;
    ASSERT_TRUE(test::MakeChirpFile(file, args, 3.0));
    Play(file.string());
    auto said = SpokenFields();
    EXPECT_EQ(said[F::kTitle], "B\xC3\xA4nd - Tune");
    EXPECT_EQ(said[F::kArtist], "Artist: B\xC3\xA4nd");
    EXPECT_EQ(said[F::kAlbum], "Album: Record");
    EXPECT_EQ(said[F::kYear], "Year: 2021");
    EXPECT_EQ(said[F::kTrack], "Track: 5/12");
    EXPECT_EQ(said[F::kGenre], "Genre: Rock");
    EXPECT_EQ(said[F::kComment], "Comment: Live recording");
    EXPECT_NE(said[F::kBitrate].find(" kbps, 44100 Hz, stereo"), std::string::npos)
        << said[F::kBitrate];
    EXPECT_EQ(said[F::kDuration], "Duration: 3 seconds");
    EXPECT_EQ(said[F::kFileName], std::string("Filename: ") + c.file);

    EXPECT_EQ(ShownTrackInfo(F::kTitle), "B\xC3\xA4nd - Tune");
    EXPECT_EQ(ShownTrackInfo(F::kTrack), "5/12");
    EXPECT_EQ(ShownTrackInfo(F::kDuration), "0:03");
    EXPECT_EQ(ShownTrackInfo(F::kFileName), c.file);
    EXPECT_NE(ShownTrackInfo(F::kBitrate).find(" kbps, 44100 Hz, Stereo"), std::string::npos);
  }
}

TEST_F(TagCommandsTest, HandBuiltId3v2Tags) {
  // TIT2 in UTF-8 and TPE1 in UTF-16 with a little-endian mark (version 2.4).
  const std::string v24 =
      Id3v2Tag(4, Frame(4, "TIT2", "\x03" "Caf\xC3\xA9"s) +
                      Frame(4, "TPE1", "\x01"s + test::Utf16LeWithBom("Band")) + std::string(32, '\0'));
  Play(Mp3With("v24.mp3", v24, ""));
  auto said = SpokenFields();
  EXPECT_EQ(said[F::kTitle], "Band - Caf\xC3\xA9");
  EXPECT_EQ(said[F::kComment], "No comment");

  // A version 2.3 COMM in UTF-16: language eng, empty description; the whole tag unsynchronised.
  const std::string comm = "\x01" "eng"s + "\xFF\xFE\0\0"s + test::Utf16LeWithBom("Live recording");
  const std::string v23 = Id3v2Tag(
      3, test::Unsynchronise(Frame(3, "TIT2", "\x00\xFF\xE9t\xE9"s) + Frame(3, "COMM", comm)), 0x80);
  ASSERT_NE(v23.find("\xFF\x00"s), std::string::npos);  // the tag really is unsynchronised
  Play(Mp3With("v23.mp3", v23, ""));
  said = SpokenFields();
  EXPECT_EQ(said[F::kTitle], "\xC3\xBF\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(said[F::kComment], "Comment: Live recording");
  EXPECT_EQ(ShownTrackInfo(F::kComment), "Live recording");
}

TEST_F(TagCommandsTest, Id3v1Blocks) {
  const std::string thirty = "A title of thirty characters!!";
  ASSERT_EQ(thirty.size(), 30u);
  Play(Mp3With("v11.mp3", "", test::Id3v1Block(thirty, "Old Band", "Old Album", "1999", "Fine", 7, 17)));
  auto said = SpokenFields();
  EXPECT_EQ(said[F::kTitle], "Old Band - " + thirty);
  EXPECT_EQ(said[F::kAlbum], "Album: Old Album");
  EXPECT_EQ(said[F::kYear], "Year: 1999");
  EXPECT_EQ(said[F::kTrack], "Track: 7");
  EXPECT_EQ(said[F::kGenre], "Genre: Rock");
  EXPECT_EQ(said[F::kComment], "Comment: Fine");
  EXPECT_EQ(ShownTrackInfo(F::kTrack), "7");

  // ID3v1.0 (no track) with a genre byte past the table.
  Play(Mp3With("v10.mp3", "", test::Id3v1Block("Song", "", "", "", std::string(30, 'c'), 0, 200)));
  said = SpokenFields();
  EXPECT_EQ(said[F::kTitle], "Song");
  EXPECT_EQ(said[F::kArtist], "No artist");
  EXPECT_EQ(said[F::kTrack], "No track number");
  EXPECT_EQ(said[F::kGenre], "No genre");
  EXPECT_EQ(said[F::kComment], "Comment: " + std::string(30, 'c'));
  EXPECT_EQ(ShownTrackInfo(F::kTrack), "No track");
  EXPECT_EQ(ShownTrackInfo(F::kGenre), "No genre");

  // The ID3v2 tag answers first; ID3v1 completes what it lacks.
  const std::string v24 = Id3v2Tag(4, Frame(4, "TIT2", "\x00New Title"s));
  Play(Mp3With("both.mp3", v24, test::Id3v1Block("Old", "Old Band", "", "", "", 3, 0)));
  said = SpokenFields();
  EXPECT_EQ(said[F::kTitle], "Old Band - New Title");
  EXPECT_EQ(said[F::kTrack], "Track: 3");
  EXPECT_EQ(said[F::kGenre], "Genre: Blues");
}

TEST_F(TagCommandsTest, UntaggedFileAndFrenchTexts) {
  Play(Mp3With("bare.mp3", "", ""));
  const auto said = SpokenFields();
  EXPECT_EQ(said.at(F::kTitle), "No title");
  EXPECT_EQ(said.at(F::kArtist), "No artist");
  EXPECT_EQ(said.at(F::kAlbum), "No album");
  EXPECT_EQ(said.at(F::kYear), "No year");
  EXPECT_EQ(said.at(F::kTrack), "No track number");
  EXPECT_EQ(said.at(F::kGenre), "No genre");
  EXPECT_EQ(said.at(F::kComment), "No comment");
  EXPECT_EQ(said.at(F::kFileName), "Filename: bare.mp3");

  SetLanguage("fr");
  EXPECT_EQ(SpokenTrackInfo(F::kTrack), "Pas de num\xC3\xA9ro de piste");
  EXPECT_EQ(SpokenTrackInfo(F::kFileName), "Nom du fichier : bare.mp3");
  EXPECT_EQ(SpokenTrackInfo(F::kDuration), "Dur\xC3\xA9" "e : 1 secondes");
}

TEST_F(TagCommandsTest, LongDurationInHoursMinutesAndSeconds) {
  Play(LongFile("long.flac", 3725));
  EXPECT_EQ(SpokenTrackInfo(F::kDuration), "Duration: 1 hours, 2 minutes, 5 seconds");
  EXPECT_EQ(ShownTrackInfo(F::kDuration), "1:02:05");
}

TEST_F(TagCommandsTest, StreamHeadersAndTitles) {
  PlayStreamLike({{audio::TagBlock::kIcy, "ICY 200 OK\0icy-name:Radio X\0icy-genre:Jazz\0icy-br:128\0\0"s},
                  {audio::TagBlock::kMeta, "StreamTitle='Daft Punk - One More Time';StreamUrl='';"s}},
                 "http://radio.example/live");
  auto said = SpokenFields();
  EXPECT_EQ(said[F::kTitle], "Daft Punk - One More Time");
  EXPECT_EQ(said[F::kArtist], "Artist: Daft Punk");
  EXPECT_EQ(said[F::kAlbum], "Station: Radio X");
  EXPECT_EQ(said[F::kGenre], "Genre: Jazz");
  EXPECT_EQ(said[F::kBitrate], "128 kbps, 44100 Hz, stereo");
  EXPECT_EQ(said[F::kDuration], "Live stream");
  EXPECT_EQ(said[F::kFileName], "URL: http://radio.example/live");
  EXPECT_EQ(ShownTrackInfo(F::kAlbum), "Radio X");
  EXPECT_EQ(ShownTrackInfo(F::kBitrate), "Unknown bitrate");  // no station header here
  EXPECT_EQ(ShownTrackInfo(F::kDuration), "Unknown duration");
  EXPECT_EQ(ShownTrackInfo(F::kFileName), "http://radio.example/live");
  ForgetStreamLike();
}

TEST_F(TagCommandsTest, FormatWithoutBitrate) {
  const std::pair<int, const char*> cases[] = {
      {1, "32-bit, 22050 Hz, mono"}, {2, "32-bit, 22050 Hz, stereo"}, {6, "32-bit, 22050 Hz, multi-channel"}};
  for (const auto& [channels, expected] : cases) {
    const audio::Handle stream = audio::CreateUserStream(
        22050, channels, 0, [](float*, std::int64_t, bool* ended) -> std::int64_t {
          *ended = true;
          return 0;
        });
    ASSERT_NE(stream, 0u);
    extra_channels_.push_back(stream);
    ThePlayerState().output_stream = stream;
    EXPECT_EQ(SpokenTrackInfo(F::kBitrate), expected);
    EXPECT_EQ(SpokenTrackInfo(F::kDuration), "Unknown duration");  // a local item of no length
  }
  ForgetStreamLike();
}

TEST(TagInfoTextsTest, FormatAndDurationTexts) {
  RegisterAllTranslations();
  SetLanguage("en");
  EXPECT_EQ(SpokenFormatText(128.9, 44100, 2, 32), "128 kbps, 44100 Hz, stereo");
  EXPECT_EQ(SpokenFormatText(0, 44100, 2, 32), "32-bit, 44100 Hz, stereo");
  EXPECT_EQ(ShownFormatText(127.6, 48000, 1), "128 kbps, 48000 Hz, Mono");
  EXPECT_EQ(ShownFormatText(0, 48000, 1), "Unknown bitrate");
  EXPECT_EQ(SpokenDurationText(3725.9), "Duration: 1 hours, 2 minutes, 5 seconds");
  EXPECT_EQ(SpokenDurationText(125), "Duration: 2 minutes, 5 seconds");
  EXPECT_EQ(SpokenDurationText(59.99), "Duration: 59 seconds");
  EXPECT_EQ(SpokenDurationText(-4), "Duration: 0 seconds");
  EXPECT_EQ(FillPlaceholders("%d%% of %s, %x", {"5", "all"}), "5% of all, %x");
  EXPECT_EQ(FillPlaceholders("%d and %d", {"1"}), "1 and ");
}

}  // namespace
}  // namespace kestrel
