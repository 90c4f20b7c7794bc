#include "audio/url_stream_fixture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

#include "audio/ffmpeg_fixtures.h"

namespace kestrel::test {

const StreamMedia& Media() {
  static TempFolder* folder = new TempFolder();
  static const StreamMedia media = [] {
    StreamMedia made;
    const auto root = folder->path();
    made.mp3_file = root / "chirp.mp3";
    made.wav_file = root / "chirp.wav";
    const auto adts_file = root / "chirp.aac";
    made.hls_folder = root / "hls";
    std::filesystem::create_directories(made.hls_folder);
    if (!MakeChirpFile(made.mp3_file, {"-c:a", "libmp3lame", "-b:a", "128k"}) ||
        !MakeChirpFile(made.wav_file, {"-c:a", "pcm_s16le"}) ||
        !MakeChirpFile(adts_file, {"-c:a", "aac", "-b:a", "128k", "-f", "adts"}) ||
        !MakeChirpFile(made.hls_folder / "list.m3u8",
                       {"-c:a", "aac", "-b:a", "96k", "-f", "hls", "-hls_time", "2",
                        "-hls_list_size", "0", "-hls_playlist_type", "vod",
                        "-hls_segment_filename", (made.hls_folder / "seg%d.ts").string()})) {
      ADD_FAILURE() << "ffmpeg could not make the stream media";
    }
    made.mp3 = ReadWholeFile(made.mp3_file);
    made.wav = ReadWholeFile(made.wav_file);
    made.adts = ReadWholeFile(adts_file);
    return made;
  }();
  return media;
}

FixtureHttpServer& StreamServer() {
  static FixtureHttpServer* server = new FixtureHttpServer();
  return *server;
}

std::string StreamUrl(const std::string& target) {
  return "http://127.0.0.1:" + std::to_string(StreamServer().port()) + target;
}

std::string WithIcyMetadata(const std::string& audio, std::size_t metaint,
                            const std::function<std::string(int)>& titles) {
  std::string body;
  int block = 0;
  for (std::size_t offset = 0; offset < audio.size(); offset += metaint) {
    body += audio.substr(offset, metaint);
    if (offset + metaint > audio.size()) break;  // the stream ends inside the audio part
    std::string text = titles(block++);
    const std::size_t units = (text.size() + 15) / 16;
    text.resize(units * 16, '\0');
    body.push_back(static_cast<char>(units));
    body += text;
  }
  return body;
}

bool SendPaced(FixtureConnection& connection, const std::string& body, std::size_t piece,
               int pause_ms) {
  for (std::size_t offset = 0; offset < body.size(); offset += piece) {
    if (!connection.Send(std::string_view(body).substr(offset, piece))) return false;
    if (pause_ms > 0 && !connection.Pause(pause_ms)) return false;
  }
  return true;
}

Drained DrainDecodingChannel(audio::Handle channel, std::chrono::milliseconds deadline,
                             std::int64_t max_frames) {
  Drained drained;
  audio::ChannelInfo info;
  if (!audio::GetInfo(channel, &info)) return drained;
  const auto give_up = std::chrono::steady_clock::now() + deadline;
  std::vector<float> buffer(4096 * static_cast<std::size_t>(info.channels));
  while (std::chrono::steady_clock::now() < give_up) {
    if (max_frames >= 0 &&
        static_cast<std::int64_t>(drained.samples.size()) >= max_frames * info.channels) {
      break;
    }
    const std::int64_t bytes = audio::GetData(channel, buffer.data(),
                                              static_cast<std::int64_t>(buffer.size() * 4));
    if (bytes < 0) {
      drained.ended = audio::LastError() == audio::kErrorEnded;
      break;
    }
    if (bytes == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    drained.samples.insert(drained.samples.end(), buffer.begin(), buffer.begin() + bytes / 4);
  }
  return drained;
}

std::vector<float> DecodeFile(const std::filesystem::path& file) {
  const audio::Handle channel = audio::CreateFileStream(file.string(), audio::kStreamDecode);
  EXPECT_NE(channel, 0u) << audio::LastError();
  Drained drained = DrainDecodingChannel(channel);
  audio::FreeStream(channel);
  return drained.samples;
}

float MaxDifference(const std::vector<float>& a, const std::vector<float>& b, std::size_t count) {
  if (a.size() < count || b.size() < count) return std::numeric_limits<float>::infinity();
  float largest = 0;
  for (std::size_t i = 0; i < count; ++i) largest = std::max(largest, std::fabs(a[i] - b[i]));
  return largest;
}

void UrlStreamTest::SetUp() {
  Media();
  StreamServer();
  audio::SetConfig(audio::Config::kNetTimeoutMs, kTimeoutMs);
  audio::SetConfig(audio::Config::kNetBufferMs, 5000);
  audio::SetConfig(audio::Config::kNetPrebufferPercent, 75);
}

void UrlStreamTest::TearDown() {
  audio::SetConfig(audio::Config::kNetTimeoutMs, 5000);
  audio::SetConfig(audio::Config::kNetBufferMs, 5000);
  audio::SetConfig(audio::Config::kNetPrebufferPercent, 75);
  audio::SetNetAgent("");
}

}  // namespace kestrel::test
