#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

class MainWindow;

// What the application shell keeps for the whole run; touched only on the user-interface thread.
struct ShellState {
  MainWindow* main_window = nullptr;  // set while the window is being created, cleared at its end
  bool keyboard_help = false;         // keys are described instead of performed
  std::uint32_t start_tick = 0;       // taken while the window is created
  std::vector<std::string> hand_over; // paths from other instances not yet given to the playlist
};

ShellState& Shell();

}  // namespace kestrel
