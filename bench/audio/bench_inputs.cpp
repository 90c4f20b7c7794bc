#include "audio/bench_inputs.h"

#include <iostream>
#include <vector>

#include "audio/peer_process.h"

namespace kestrel::bench {
namespace {

bool Prepare(const std::filesystem::path& cache, const std::string& label,
             const std::string& extension, const std::vector<std::string>& codec,
             BenchInput* input) {
  input->label = label;
  input->file = cache / ("tones-10min." + extension);
  input->decoded_wav = cache / ("tones-10min." + extension + ".wav");
  if (!std::filesystem::exists(input->file)) {
    std::cerr << "making " << input->file << " (once)\n";
    std::vector<std::string> arguments = ToneSignalInput(static_cast<int>(kInputSeconds));
    arguments.insert(arguments.end(), codec.begin(), codec.end());
    if (!RunFfmpegTo(arguments, input->file)) return false;
  }
  if (!std::filesystem::exists(input->decoded_wav)) {
    if (!RunFfmpegTo({"-i", input->file.string(), "-c:a", "pcm_s16le"}, input->decoded_wav))
      return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> ToneSignalInput(int seconds) {
  const std::string left =
      "(0.25*sin(2*PI*440*t)+0.15*sin(2*PI*554.37*t)+0.1*sin(2*PI*1318.5*t))"
      "*(0.6+0.4*sin(2*PI*0.13*t))+0.01*(random(0)-0.5)";
  const std::string right =
      "(0.25*sin(2*PI*329.63*t)+0.15*sin(2*PI*659.25*t)+0.1*sin(2*PI*2093*t))"
      "*(0.6+0.4*sin(2*PI*0.07*t))+0.01*(random(1)-0.5)";
  return {"-f", "lavfi", "-i",
          "aevalsrc=" + left + "|" + right + ":s=44100:d=" + std::to_string(seconds)};
}

bool RunFfmpegTo(const std::vector<std::string>& arguments, const std::filesystem::path& output) {
  std::vector<std::string> argv = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
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

bool PrepareInputs(const std::filesystem::path& cache, BenchInput* flac, BenchInput* mp3) {
  std::error_code error;
  std::filesystem::create_directories(cache, error);
  return Prepare(cache, "FLAC", "flac", {"-c:a", "flac", "-sample_fmt", "s16"}, flac) &&
         Prepare(cache, "MP3", "mp3", {"-c:a", "libmp3lame", "-b:a", "192k"}, mp3);
}

}  // namespace kestrel::bench
