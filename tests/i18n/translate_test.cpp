// Looking texts up in the active language, the fallbacks, and the language the system asks for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "i18n/translate.h"

namespace kestrel {
namespace {

class TranslateTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterAllTranslations(); }
  void TearDown() override { SetLanguage("en"); }
};

TEST_F(TranslateTest, EachLanguageFallsBackToTheOtherAndThenToTheKey) {
  struct Case {
    const char* language;
    const char* key;
    const char* shown;
  } cases[] = {
      {"fr", "Nothing playing", "Aucune lecture en cours"},
      {"en", "Nothing playing", "Nothing playing"},
      // no French text: the English one
      {"fr", "Loading episodes", "Loading episodes"},
      {"fr", "Preparing download...", "Preparing download..."},
      // in neither table: the key itself, in both languages
      {"fr", "Clear all cached YouTube audio?", "Clear all cached YouTube audio?"},
      {"en", "Removed %d cached files.", "Removed %d cached files."},
      {"fr", "", ""},
      // any code other than exactly "fr" is English
      {"de", "Nothing playing", "Nothing playing"},
      {"FR", "Nothing playing", "Nothing playing"},
      {"fr_FR", "Nothing playing", "Nothing playing"},
      // symbolic keys
      {"en", "KEY_MOD_SHIFT", "Shift"},
      {"fr", "KEY_MOD_SHIFT", "Maj"},
      {"en", "BTN_YES", "Yes"},
      {"fr", "BTN_NO", "Non"},
      {"fr", "(Uses strftime format: %Y=year, %m=month, %d=day, %H=hour, %M=min, %S=sec)",
       "(Disponibles : {année}, {mois}, {jour}, {heure}, {minute}, {seconde})"},
      // Windows wording replaced by what is true here
      {"en", "Could not open readme.txt. Make sure the docs folder is present alongside Kestrel.exe.",
       "Could not open readme.txt. Make sure the docs folder is present beside the kestrel program."},
      {"fr", "No Windows download available for this release.",
       "Aucun téléchargement pour Linux n'est disponible pour cette version."},
      {"fr", "&Open...\tCtrl+O", "&Ouvrir...\tCtrl+O"},
      {"fr", "Cannot play file:", "Impossible de lire le fichier :"},
  };
  for (const Case& c : cases) {
    SetLanguage(c.language);
    EXPECT_EQ(Translate(c.key), c.shown) << c.language << ": " << c.key;
    EXPECT_EQ(TranslateUtf8(c.key), c.shown);
  }
}

TEST_F(TranslateTest, LanguageCodeIsEnglishUnlessExactlyFrench) {
  for (const char* code : {"en", "de", "", "fr ", "french"}) {
    SetLanguage(code);
    EXPECT_EQ(LanguageCode(), "en") << code;
  }
  SetLanguage("fr");
  EXPECT_EQ(LanguageCode(), "fr");
}

TEST_F(TranslateTest, RegistrationKeepsTheLastTextAndIgnoresOtherLanguages) {
  RegisterTranslation("en", "test: only English", "Only in English");
  RegisterTranslation("fr", "test: twice", "premier");
  RegisterTranslation("fr", "test: twice", "second");
  RegisterTranslation("de", "test: German", "Deutsch");
  SetLanguage("fr");
  EXPECT_EQ(Translate("test: twice"), "second");
  EXPECT_EQ(Translate("test: German"), "test: German");
  SetLanguage("en");
  EXPECT_EQ(Translate("test: only English"), "Only in English");
  EXPECT_EQ(Translate("test: twice"), "second");  // English has no text: the French one
}

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const char* value) {
    if (value) {
      setenv(name_, value, 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SystemLanguage, TheFirstLocaleVariableSetDecides) {
  struct Case {
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    const char* expected;
  } cases[] = {
      {nullptr, nullptr, nullptr, "en"},
      {nullptr, nullptr, "fr_FR.UTF-8", "fr"},
      {nullptr, nullptr, "fr", "fr"},
      {nullptr, nullptr, "fr@euro", "fr"},
      {nullptr, nullptr, "fr_CA", "fr"},
      {nullptr, nullptr, "de_DE.UTF-8", "en"},
      {nullptr, nullptr, "C", "en"},
      {nullptr, nullptr, "POSIX", "en"},
      {nullptr, nullptr, "C.UTF-8", "en"},
      {nullptr, nullptr, "frr_DE.UTF-8", "en"},  // North Frisian
      {nullptr, "fr_BE.UTF-8", "en_US.UTF-8", "fr"},
      {nullptr, "en_GB.UTF-8", "fr_FR.UTF-8", "en"},
      {"C", "fr_FR.UTF-8", "fr_FR.UTF-8", "en"},
      {"fr_CH.UTF-8", "en_US.UTF-8", "en_US.UTF-8", "fr"},
      {"", "", "fr_FR.UTF-8", "fr"},  // empty variables are skipped
  };
  for (const Case& c : cases) {
    ScopedEnv lc_all("LC_ALL", c.lc_all);
    ScopedEnv lc_messages("LC_MESSAGES", c.lc_messages);
    ScopedEnv lang("LANG", c.lang);
    EXPECT_EQ(SystemLanguage(), c.expected) << (c.lc_all ? c.lc_all : "-") << " / "
                                            << (c.lc_messages ? c.lc_messages : "-") << " / "
                                            << (c.lang ? c.lang : "-");
  }
}

}  // namespace
}  // namespace kestrel
