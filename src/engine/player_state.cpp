#include "engine/player_state.h"

namespace kestrel {

PlayerState& ThePlayerState() {
  static PlayerState state;
  return state;
}

}  // namespace kestrel
