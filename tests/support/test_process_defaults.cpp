// Compiled into every test executable (not archived, so the sanitizer hooks are always linked):
// the defaults every suite runs with, whatever ctest or a developer's shell passes.
#include <cstdlib>

extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

namespace {

// No sound card and no display in tests: the null audio device and the offscreen platform,
// unless the developer asks for something else.
const bool kDefaultsSet = [] {
  setenv("KESTREL_AUDIO", "null", 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return true;
}();

}  // namespace
