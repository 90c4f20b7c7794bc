#include "app/effect_commands.h"

#include "app/command_ids.h"
#include "effects/effect_cycling.h"

namespace kestrel {

void CommandCycleEffect(int id, std::int64_t) { CycleCurrentParameter(id == cmd::kPreviousEffect ? -1 : +1); }

void CommandAdjustEffect(int id, std::int64_t) {
  switch (id) {
    case cmd::kIncreaseEffect: AdjustCurrentParameter(+1); break;
    case cmd::kDecreaseEffect: AdjustCurrentParameter(-1); break;
    case cmd::kResetEffect: ResetCurrentParameter(); break;
    case cmd::kEffectMinimum: SetCurrentParameterToMinimum(); break;
    case cmd::kEffectMaximum: SetCurrentParameterToMaximum(); break;
    default: break;
  }
}

void CommandToggleStreamEffect(int id, std::int64_t) { ToggleStreamEffect(id - cmd::kToggleVolume); }

}  // namespace kestrel
