#include "audio/ffmpeg_fixtures.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>

extern char** environ;

namespace kestrel::test {

bool RunFfmpeg(const std::vector<std::string>& arguments) {
  std::vector<std::string> all = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> ChirpInput(double seconds) {
  char duration[32];
  const auto end = std::to_chars(duration, duration + sizeof duration, seconds).ptr;
  return {"-f", "lavfi", "-i",
          "aevalsrc=0.5*sin(2*PI*(200+150*t)*t)|0.5*sin(2*PI*(300+100*t)*t):s=44100:d=" +
              std::string(duration, end)};
}

bool MakeChirpFile(const std::filesystem::path& file, const std::vector<std::string>& output_args,
                   double seconds) {
  std::vector<std::string> arguments = ChirpInput(seconds);
  arguments.insert(arguments.end(), output_args.begin(), output_args.end());
  arguments.push_back(file.string());
  return RunFfmpeg(arguments);
}

}  // namespace kestrel::test
