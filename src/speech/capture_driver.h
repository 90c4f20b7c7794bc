#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "speech/screen_reader_driver.h"

// Speech capture for tests and headless runs, chosen by the environment variable KESTREL_SPEECH:
//   KESTREL_SPEECH=stdout      every utterance is written to standard output as one line;
//   KESTREL_SPEECH=file:PATH   every utterance is appended to PATH as one line.
// When either is set the capture driver is the only driver: no real screen reader is looked for.
// Line breaks inside an utterance become blanks. Silencing writes nothing.
namespace kestrel {

struct CaptureTarget {
  bool to_stdout = false;
  std::filesystem::path file;  // used when to_stdout is false
};

// The target named by a KESTREL_SPEECH value, or nothing when the value names none.
std::optional<CaptureTarget> ParseCaptureTarget(std::string_view value);

// The capture driver when KESTREL_SPEECH asks for one.
std::unique_ptr<ScreenReaderDriver> CaptureDriverFromEnvironment();

std::unique_ptr<ScreenReaderDriver> MakeCaptureDriver(CaptureTarget target);

}  // namespace kestrel
