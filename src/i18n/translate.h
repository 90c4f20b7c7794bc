#pragma once

#include <string>
#include <string_view>

// The interface texts in the active language. The English text is its own key; a key missing
// from both tables comes back unchanged.
namespace kestrel {

void RegisterTranslation(std::string_view language, std::string_view key, std::string_view text);
// Fills both tables; called once at start before the settings are loaded.
void RegisterAllTranslations();

std::string Translate(std::string_view key);

void SetLanguage(std::string_view code);  // "fr" selects French, anything else English
std::string LanguageCode();
std::string SystemLanguage();             // "fr" when the user's locale is French, else "en"

}  // namespace kestrel
