#include "app/shell_state.h"

namespace kestrel {

ShellState& Shell() {
  static ShellState state;
  return state;
}

}  // namespace kestrel
