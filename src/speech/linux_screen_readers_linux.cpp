#include <string>
#include <utility>

#include "speech/capture_driver.h"
#include "speech/linux_screen_readers.h"
#include "speech/process_scan.h"
#include "speech/screen_reader_bridge.h"
#include "speech/speech_text.h"

namespace kestrel {
namespace {

// A process scan reads every /proc entry; its answer is reused for this long. Detection runs at
// most every ten seconds or after a failure, so this only spares repeated scans within one burst.
constexpr std::uint32_t kProcessScanCacheMs = 3000;

class SpeechDispatcherReader : public ScreenReaderDriver {
 public:
  SpeechDispatcherReader(std::string name, std::string program, bool desktop_reports_it,
                         SpeechDispatcherOptions options)
      : ScreenReaderDriver(std::move(name)),
        program_(std::move(program)),
        desktop_reports_it_(desktop_reports_it),
        client_(std::move(options)) {}

  bool IsRunning() override {
    if (desktop_reports_it_ && ScreenReaderEnabledByDesktop()) return true;
    return ProgramSeenRecently();
  }

  bool Output(std::string_view text, bool interrupt) override {
    return client_.Say(ToSingleLine(text), interrupt);
  }

  bool Silence() override { return client_.Cancel(); }

  void Unload() override {
    client_.Close();
    scanned_ = false;
  }

 private:
  bool ProgramSeenRecently() {
    std::uint32_t now = SpeechTickCount();
    if (!scanned_ || now - last_scan_ >= kProcessScanCacheMs) {
      last_scan_result_ = IsProgramRunning(program_);
      last_scan_ = now;
      scanned_ = true;
    }
    return last_scan_result_;
  }

  std::string program_;
  bool desktop_reports_it_;
  SpeechDispatcherClient client_;
  bool scanned_ = false;
  bool last_scan_result_ = false;
  std::uint32_t last_scan_ = 0;
};

}  // namespace

std::unique_ptr<ScreenReaderDriver> MakeOrcaDriver(SpeechDispatcherOptions options) {
  return std::make_unique<SpeechDispatcherReader>("Orca", "orca", true, std::move(options));
}

std::unique_ptr<ScreenReaderDriver> MakeFenrirDriver(SpeechDispatcherOptions options) {
  return std::make_unique<SpeechDispatcherReader>("Fenrir", "fenrir", false, std::move(options));
}

std::vector<std::unique_ptr<ScreenReaderDriver>> DefaultScreenReaderDrivers() {
  std::vector<std::unique_ptr<ScreenReaderDriver>> drivers;
  if (auto capture = CaptureDriverFromEnvironment()) {
    drivers.push_back(std::move(capture));
    return drivers;
  }
  // Detection order.
  drivers.push_back(MakeOrcaDriver());
  drivers.push_back(MakeFenrirDriver());
  return drivers;
}

}  // namespace kestrel
