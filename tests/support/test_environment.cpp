#include "support/test_environment.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace kestrel::test {
namespace {

std::filesystem::path& Root() {
  static std::filesystem::path root;
  return root;
}

}  // namespace

void PrepareTestEnvironment() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-suite-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  Root() = pattern;
  const auto set = [](const char* name, const std::filesystem::path& value) {
    std::filesystem::create_directories(value);
    setenv(name, value.c_str(), 1);
  };
  set("HOME", Root() / "home");
  set("XDG_CONFIG_HOME", Root() / "config");
  set("XDG_DATA_HOME", Root() / "data");
  set("XDG_STATE_HOME", Root() / "state");
  set("XDG_CACHE_HOME", Root() / "cache");
  set("XDG_RUNTIME_DIR", Root() / "runtime");
  std::filesystem::permissions(Root() / "runtime", std::filesystem::perms::owner_all);
  set("KESTREL_HOME", Root() / "kestrel-home");
  setenv("KESTREL_SPEECH", ("file:" + SpeechCaptureFile().string()).c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("KESTREL_AUDIO", "null", 1);
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  unsetenv("SPEECHD_ADDRESS");
  unsetenv("LANG");
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
}

const std::filesystem::path& TestRoot() { return Root(); }

std::filesystem::path SpeechCaptureFile() { return Root() / "speech.txt"; }

std::vector<std::string> TakeSpokenLines() {
  std::vector<std::string> lines;
  std::ifstream in(SpeechCaptureFile());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  in.close();
  std::ofstream(SpeechCaptureFile(), std::ios::trunc);
  return lines;
}

}  // namespace kestrel::test
