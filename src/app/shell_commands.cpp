#include "app/shell_commands.h"

#include "app/main_window.h"
#include "app/shell_state.h"
#include "base/app_paths.h"
#include "i18n/translate.h"
#include "playlist/navigation.h"
#include "speech/speech.h"
#include "ui/desktop_opener.h"
#include "ui/message_box.h"

namespace kestrel {
namespace {

void OpenDocument(const char* file_name, const char* failure, const char* caption) {
  const auto path = ExecutableDir() / "docs" / file_name;
  if (OpenWithDesktop(path)) return;
  ShowMessageBox(Shell().main_window, {Translate(failure), Translate(caption), MessageIcon::Warning});
}

}  // namespace

void CommandExit(int, std::int64_t) {
  if (Shell().main_window) Shell().main_window->close();
}

void CommandReadme(int, std::int64_t) {
  OpenDocument("readme.txt",
               "Could not open readme.txt. Make sure the docs folder is present alongside Kestrel.exe.",
               "Readme");
}

void CommandManual(int, std::int64_t) {
  OpenDocument(LanguageCode() == "fr" ? "manual_fr.html" : "manual_en.html",
               "Could not open the manual. Make sure the docs folder is present alongside Kestrel.exe.",
               "Manual");
}

void CommandKeyboardHelp(int, std::int64_t) {
  Shell().keyboard_help = !Shell().keyboard_help;
  Speak(Translate(Shell().keyboard_help ? "Keyboard help on" : "Keyboard help off"));
}

void CommandShuffle(int, std::int64_t) {
  const bool shuffle = ToggleShuffle();
  if (Shell().main_window) Shell().main_window->SetShuffleChecked(shuffle);
}

}  // namespace kestrel
