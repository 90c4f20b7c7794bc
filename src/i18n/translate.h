#pragma once

#include <string>
#include <string_view>

// The interface texts in the active language. The English text is its own key; a key missing
// from both tables comes back unchanged.
namespace kestrel {

// "en" and "fr" only; any other language code is ignored. A second registration of a key
// replaces the first.
void RegisterTranslation(std::string_view language, std::string_view key, std::string_view text);
// Fills both tables, block by block; called once at start before the settings are loaded.
void RegisterAllTranslations();

// The text in the active language, else in the other one, else the key itself.
std::string Translate(std::string_view key);
// Text is UTF-8 throughout, so this is Translate under the name callers that speak it use.
inline std::string TranslateUtf8(std::string_view key) { return Translate(key); }

void SetLanguage(std::string_view code);  // exactly "fr" selects French, anything else English
std::string LanguageCode();               // "en" or "fr"

// The user's language from the locale variables LC_ALL, LC_MESSAGES and LANG (the first one
// set and not empty): "fr" for a French locale such as "fr_CA.UTF-8", else "en" (also for "C"
// and "POSIX").
std::string SystemLanguage();
// The same decision for one locale name.
std::string LanguageOfLocale(std::string_view locale);

}  // namespace kestrel
