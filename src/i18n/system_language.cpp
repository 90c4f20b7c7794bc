#include <cstdlib>
#include <string>
#include <string_view>

#include "i18n/translate.h"

namespace kestrel {

std::string LanguageOfLocale(std::string_view locale) {
  // A locale name is language[_territory][.codeset][@modifier]; only the language part counts,
  // so "fr", "fr_BE.UTF-8" and "fr@euro" are French while "frr_DE" (North Frisian) is not.
  const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
  return language == "fr" ? "fr" : "en";
}

std::string SystemLanguage() {
  // The POSIX order of precedence for message texts.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return LanguageOfLocale(value);
  }
  return "en";
}

}  // namespace kestrel
