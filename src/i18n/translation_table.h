#pragma once

#include <span>

namespace kestrel {

// One row per interface text: its key, the English text when it differs from the key, and the
// French text when there is one.
struct TranslationRow {
  const char* key;
  const char* english;  // nullptr: the key itself
  const char* french;   // nullptr: no French text, the English one is shown
};

std::span<const TranslationRow> TranslationRows();

}  // namespace kestrel
