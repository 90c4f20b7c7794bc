#pragma once

#include <cstdint>
#include <functional>
#include <span>

// Every command id, from whatever source, goes through DispatchCommand to the operation that
// implements it. The route table says at a glance which operations exist and which are still to
// be built.
namespace kestrel {

using CommandHandler = void (*)(int id, std::int64_t lparam);

struct CommandRoute {
  int first_id;
  int last_id;
  const char* operation;   // what the command does, for the log and the route listing
  CommandHandler handler;  // nullptr: not built yet (logged, nothing else happens)
};

std::span<const CommandRoute> CommandRoutes();
const CommandRoute* FindCommandRoute(int id);

// Runs the command now. Unknown ids are ignored.
void DispatchCommand(int id, std::int64_t lparam = 0);

// A global hotkey fired: media keys and the user's hotkeys become their commands (posted).
void DispatchHotkey(int hotkey_id);

// Tests observe every dispatched command before it runs; an observer that returns true keeps
// the command from running (tests of key routing do not want menus and dialogs to open).
using CommandObserver = std::function<bool(int id, std::int64_t lparam)>;
void SetCommandObserverForTesting(CommandObserver observer);

}  // namespace kestrel
