#include "engine/url_open_attempts.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "base/off_ui_thread.h"

namespace kestrel {
namespace {

struct Attempt {
  bool prefer_aac;
  std::uint32_t flags;
};

constexpr std::uint32_t kWholeDownload = audio::kStreamStatus | audio::kStreamDecode;
constexpr std::uint32_t kBlockDownload = kWholeDownload | audio::kStreamBlock;
constexpr std::array<Attempt, 4> kAttempts = {{
    {true, kWholeDownload},
    {false, kWholeDownload},
    {true, kBlockDownload},
    {false, kBlockDownload},
}};

bool IsFormatError(int error) {
  return error == audio::kErrorFileForm || error == audio::kErrorCodec ||
         error == audio::kErrorFormat || error == audio::kErrorNotAudio;
}

// The cancel flag of the attempts running now (user-interface thread only).
std::shared_ptr<std::atomic<bool>>& PendingCancel() {
  static std::shared_ptr<std::atomic<bool>> cancel;
  return cancel;
}

}  // namespace

UrlOpenOutcome CreateUrlSource(const std::string& url) {
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  PendingCancel() = cancel;

  UrlOpenOutcome outcome;
  RunWhileUiAnswers([&outcome, &url, cancel] {
    for (const Attempt& attempt : kAttempts) {
      if (cancel->load()) break;
      audio::UrlStreamOptions options;
      options.prefer_aac = attempt.prefer_aac;
      options.cancel = cancel.get();
      outcome.source = audio::CreateUrlStream(url, attempt.flags, options);
      if (outcome.source != 0) break;
      outcome.error = audio::LastError();
      if (!IsFormatError(outcome.error)) break;
    }
  });

  PendingCancel().reset();
  // The stream may look at its flag for as long as it lives; it is freed before the next open.
  static std::shared_ptr<std::atomic<bool>> kept_for_the_stream;
  kept_for_the_stream = cancel;
  if (cancel->load()) {
    // Called off: a stream that connected just as Stop was pressed is not wanted either.
    if (outcome.source != 0) audio::FreeStream(outcome.source);
    outcome.source = 0;
    outcome.cancelled = true;
  }
  return outcome;
}

bool CancelPendingUrlOpen() {
  if (!PendingCancel()) return false;
  PendingCancel()->store(true);
  return true;
}

bool UrlOpenPending() { return PendingCancel() != nullptr; }

}  // namespace kestrel
