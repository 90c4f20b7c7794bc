#pragma once

#include <array>
#include <span>

namespace kestrel {

// One row per interface text: its key, the English text when it differs from the key, and the
// French text when there is one.
struct TranslationRow {
  const char* key;
  const char* english;  // nullptr: the key itself
  const char* french;   // nullptr: no French text, the English one is shown
};

// The rows in blocks, in the order they are registered. When a key is registered twice, the
// later block's text is the one kept.
std::span<const TranslationRow> ButtonAndLanguageRows();  // the symbolic BTN_ and LANG_ names
std::span<const TranslationRow> MessageRows();            // playback, updates, keys, tags, radio
std::span<const TranslationRow> OptionAndStatusRows();    // Options pages, status, scheduler...
std::span<const TranslationRow> MenuAndDialogRows();      // the menu bar and the dialog labels

inline std::array<std::span<const TranslationRow>, 4> TranslationBlocks() {
  return {ButtonAndLanguageRows(), MessageRows(), OptionAndStatusRows(), MenuAndDialogRows()};
}

}  // namespace kestrel
