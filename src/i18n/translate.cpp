#include "i18n/translate.h"

#include <atomic>
#include <string>
#include <unordered_map>

#include "i18n/translation_table.h"

namespace kestrel {
namespace {

// Written only at start on the user-interface thread, read from any thread afterwards.
struct Tables {
  std::unordered_map<std::string, std::string> english;
  std::unordered_map<std::string, std::string> french;
};
Tables& TheTables() {
  static auto* tables = new Tables;
  return *tables;
}
std::atomic<bool> g_french{false};

}  // namespace

void RegisterTranslation(std::string_view language, std::string_view key, std::string_view text) {
  if (language == "en") {
    TheTables().english.insert_or_assign(std::string(key), std::string(text));
  } else if (language == "fr") {
    TheTables().french.insert_or_assign(std::string(key), std::string(text));
  }
}

void RegisterAllTranslations() {
  // Block by block, so a key that a later block registers again takes the later text.
  for (const auto& block : TranslationBlocks()) {
    for (const TranslationRow& row : block) {
      RegisterTranslation("en", row.key, row.english ? row.english : row.key);
      if (row.french) RegisterTranslation("fr", row.key, row.french);
    }
  }
}

std::string Translate(std::string_view key) {
  const Tables& tables = TheTables();
  const bool french = g_french.load(std::memory_order_relaxed);
  const auto& first = french ? tables.french : tables.english;
  const auto& second = french ? tables.english : tables.french;
  std::string wanted(key);
  if (auto it = first.find(wanted); it != first.end()) return it->second;
  if (auto it = second.find(wanted); it != second.end()) return it->second;
  return wanted;
}

void SetLanguage(std::string_view code) { g_french = (code == "fr"); }

std::string LanguageCode() { return g_french ? "fr" : "en"; }

}  // namespace kestrel
