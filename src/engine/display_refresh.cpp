#include "engine/display_refresh.h"

#include <utility>

namespace kestrel {
namespace {

std::function<void()>& Refresh() {
  static std::function<void()> refresh;
  return refresh;
}

}  // namespace

void SetPlaybackDisplayRefresh(std::function<void()> refresh) { Refresh() = std::move(refresh); }

void RefreshPlaybackDisplay() {
  if (Refresh()) Refresh()();
}

}  // namespace kestrel
