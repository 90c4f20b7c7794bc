
#include "diag/not_built.h"
#include "engine/media_item.h"
#include "engine/open_media.h"
#include "engine/open_steps.h"
#include "i18n/translate.h"
#include "speech/speech.h"

namespace kestrel {

bool OpenUrl(const std::string& url, bool silent) {
  if (!IsSupportedStreamUrl(url)) {
    // Shown even to silent callers: the address itself is wrong.
    open_steps::ShowOpenMessage(Translate("Only http:// and https:// URLs are supported."),
                                MessageIcon::Warning);
    return false;
  }
  // Internet streams need the HTTP layer, which is not part of this build yet. Nothing is closed
  // or attempted: what plays keeps playing, and the user is told plainly why nothing happens.
  LogNotBuiltOnce("internet streams");
  if (!silent) Speak(Translate("Internet streams are not available yet"));
  return false;
}

}  // namespace kestrel
