#include "startup/startup_inputs.h"

#include <iostream>

#include "audio/peer_process.h"

namespace kestrel::bench {
namespace {

// A chord per side whose loudness drifts, plus a little noise: every sample from the first one
// on is non-silent, so "first audio" is the first sample either program hands out.
std::vector<std::string> SignalInput() {
  const std::string left =
      "(0.25*sin(2*PI*440*t)+0.15*sin(2*PI*554.37*t)+0.1*sin(2*PI*1318.5*t))"
      "*(0.6+0.4*sin(2*PI*0.13*t))+0.01*(random(0)-0.5)";
  const std::string right =
      "(0.25*sin(2*PI*329.63*t)+0.15*sin(2*PI*659.25*t)+0.1*sin(2*PI*2093*t))"
      "*(0.6+0.4*sin(2*PI*0.07*t))+0.01*(random(1)-0.5)";
  return {"-f", "lavfi", "-i", "aevalsrc=" + left + "|" + right + ":s=44100:d=30"};
}

bool Make(const std::filesystem::path& output, const std::vector<std::string>& codec) {
  if (std::filesystem::exists(output)) return true;
  std::cerr << "making " << output << " (once)\n";
  std::vector<std::string> argv = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
  for (const std::string& argument : SignalInput()) argv.push_back(argument);
  argv.insert(argv.end(), codec.begin(), codec.end());
  // Written beside the target and renamed, so an interrupted run leaves no half file behind.
  const std::filesystem::path partial = output.string() + ".part" + output.extension().string();
  argv.push_back(partial.string());
  if (!RunTimed(argv).ok) {
    std::cerr << "ffmpeg could not make " << output << "\n";
    return false;
  }
  std::error_code error;
  std::filesystem::rename(partial, output, error);
  return !error;
}

}  // namespace

std::vector<StartupInput> PrepareStartupInputs(const std::filesystem::path& cache) {
  std::error_code error;
  std::filesystem::create_directories(cache, error);
  const StartupInput flac{"FLAC", cache / "tones-30s.flac"};
  const StartupInput mp3{"MP3", cache / "tones-30s.mp3"};
  if (!Make(flac.file, {"-c:a", "flac", "-sample_fmt", "s16"})) return {};
  if (!Make(mp3.file, {"-c:a", "libmp3lame", "-b:a", "192k"})) return {};
  return {flac, mp3};
}

}  // namespace kestrel::bench
