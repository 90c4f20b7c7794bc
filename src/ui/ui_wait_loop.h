#pragma once

// Installs the Qt event loop as the user-interface thread's way of waiting for work on another
// thread (RunWhileUiAnswers): keys, menus and posted messages keep being handled meanwhile.
namespace kestrel {

void InstallQtUiWaitLoop();

}  // namespace kestrel
