#include "speech/capture_driver.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "speech/speech_text.h"

namespace kestrel {
namespace {

constexpr std::string_view kFilePrefix = "file:";

class CaptureDriver : public ScreenReaderDriver {
 public:
  explicit CaptureDriver(CaptureTarget target)
      : ScreenReaderDriver("Capture"), target_(std::move(target)) {}

  bool IsRunning() override { return true; }

  bool Output(std::string_view text, bool /*interrupt*/) override {
    std::string line = ToSingleLine(text) + "\n";
    if (target_.to_stdout) {
      bool written = std::fwrite(line.data(), 1, line.size(), stdout) == line.size();
      return std::fflush(stdout) == 0 && written;
    }
    // Opened per line so the file is complete at every moment and never held open.
    std::FILE* file = std::fopen(target_.file.c_str(), "ab");
    if (!file) return false;
    bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written;
  }

  bool Silence() override { return true; }
  void Unload() override {}

 private:
  CaptureTarget target_;
};

}  // namespace

std::optional<CaptureTarget> ParseCaptureTarget(std::string_view value) {
  if (value == "stdout") return CaptureTarget{true, {}};
  if (value.starts_with(kFilePrefix) && value.size() > kFilePrefix.size()) {
    return CaptureTarget{false, std::filesystem::path(value.substr(kFilePrefix.size()))};
  }
  return std::nullopt;
}

std::unique_ptr<ScreenReaderDriver> CaptureDriverFromEnvironment() {
  const char* value = std::getenv("KESTREL_SPEECH");
  if (!value) return nullptr;
  std::optional<CaptureTarget> target = ParseCaptureTarget(value);
  if (!target) return nullptr;
  return MakeCaptureDriver(std::move(*target));
}

std::unique_ptr<ScreenReaderDriver> MakeCaptureDriver(CaptureTarget target) {
  return std::make_unique<CaptureDriver>(std::move(target));
}

}  // namespace kestrel
