#include "diag/not_built.h"

#include <mutex>
#include <set>
#include <string>

#include "diag/logger.h"

namespace kestrel {

void LogNotBuiltOnce(std::string_view what) {
  static auto* mutex = new std::mutex;  // never destroyed: may be called while the process exits
  static auto* logged = new std::set<std::string, std::less<>>;
  std::lock_guard lock(*mutex);
  if (logged->insert(std::string(what)).second) {
    LogFormat("PENDING", "%.*s: not built yet", static_cast<int>(what.size()), what.data());
  }
}

}  // namespace kestrel
