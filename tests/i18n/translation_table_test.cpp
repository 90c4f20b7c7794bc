// The text tables themselves: every English text has a French one that keeps what the program
// relies on (printf conversions, menu mnemonics, shortcut text), and no text tells a Linux user
// about Windows files.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/key_tables.h"
#include "i18n/translation_table.h"

namespace kestrel {
namespace {

std::vector<TranslationRow> AllRows() {
  std::vector<TranslationRow> rows;
  for (const auto& block : TranslationBlocks()) rows.insert(rows.end(), block.begin(), block.end());
  return rows;
}

std::string EnglishOf(const TranslationRow& row) { return row.english ? row.english : row.key; }

// The printf conversions in order ("%d", "%.1f", "%%", ...). A lone "%" followed by a blank or a
// bracket, as in "100%)", is plain text.
std::vector<std::string> FormatSpecifiers(std::string_view text) {
  std::vector<std::string> found;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    size_t j = i + 1;
    if (j < text.size() && text[j] == '%') {
      found.emplace_back("%%");
      i = j;
      continue;
    }
    while (j < text.size() && std::string_view("-+#0").find(text[j]) != std::string_view::npos) ++j;
    while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.')) ++j;
    while (j < text.size() && std::string_view("hlzjL").find(text[j]) != std::string_view::npos) ++j;
    if (j < text.size() && std::string_view("diouxXeEfFgGaAcspn").find(text[j]) != std::string_view::npos) {
      found.emplace_back(text.substr(i, j - i + 1));
      i = j;
    }
  }
  return found;
}

int MnemonicCount(std::string_view text) {
  int count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (i + 1 < text.size() && text[i + 1] == '&') {
      ++i;  // "&&" is a literal ampersand
    } else {
      ++count;
    }
  }
  return count;
}

std::string ShortcutText(std::string_view text) {
  const size_t tab = text.find('\t');
  return tab == std::string_view::npos ? std::string() : std::string(text.substr(tab));
}

const std::set<std::string> kEnglishOnlyKeys = {
    "Preparing download...",
    "yt-dlp is present but failed to run.\n\nPath: ",
    "Loading episodes",
};

TEST(TranslationTable, EveryKeyIsRegisteredOnceWithItsFrenchTextKeepingWhatTheProgramReliesOn) {
  std::set<std::string> keys;
  int french_count = 0;
  const std::vector<TranslationRow> rows = AllRows();
  for (const TranslationRow& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_TRUE(keys.insert(row.key).second) << "registered twice";
    if (kEnglishOnlyKeys.count(row.key)) {
      EXPECT_EQ(row.french, nullptr);
      continue;
    }
    ASSERT_NE(row.french, nullptr);
    ++french_count;
    const std::string english = EnglishOf(row);
    const std::string french = row.french;
    EXPECT_FALSE(french.empty());
    EXPECT_EQ(FormatSpecifiers(french), FormatSpecifiers(english));
    EXPECT_EQ(MnemonicCount(french), MnemonicCount(english));
    EXPECT_EQ(ShortcutText(french), ShortcutText(english));
  }
  // Every text of the interface, and the three Help menu items that complete the menu bar.
  EXPECT_EQ(rows.size(), 619u);
  EXPECT_EQ(french_count, 616);
  EXPECT_EQ(TranslationBlocks()[0].size(), 13u);
  EXPECT_EQ(std::string(TranslationBlocks()[0].front().key), "BTN_OK");
  EXPECT_EQ(std::string(TranslationBlocks()[3].back().key), "Preparing download...");
}

TEST(TranslationTable, TheSpecifierCheckSeesWhatPrintfSees) {
  EXPECT_EQ(FormatSpecifiers("Downloading: %.1f MB / %.1f MB (%d%%)"),
            (std::vector<std::string>{"%.1f", "%.1f", "%d", "%%"}));
  EXPECT_TRUE(FormatSpecifiers("&Tempo (-50% to +100%)").empty());
  EXPECT_EQ(MnemonicCount("Tom && &Jerry"), 1);
}

TEST(TranslationTable, SymbolicKeysHaveRealTexts) {
  for (const TranslationRow& row : AllRows()) {
    const std::string_view key = row.key;
    if (key.starts_with("BTN_") || key.starts_with("LANG_") || key.starts_with("KEY_MOD_")) {
      ASSERT_NE(row.english, nullptr) << key;
      EXPECT_NE(std::string_view(row.english), key);
      EXPECT_NE(std::string_view(row.french), key);
    }
  }
}

TEST(TranslationTable, NoTextNamesWindowsFiles) {
  const char* windows_only[] = {".dll", ".exe", "%LOCALAPPDATA%", "Windows", "BASS", "\\"};
  for (const TranslationRow& row : AllRows()) {
    for (const std::string& text : {EnglishOf(row), std::string(row.french ? row.french : "")}) {
      for (const char* word : windows_only) {
        EXPECT_EQ(text.find(word), std::string::npos) << row.key << " shows " << word;
      }
    }
  }
}

TEST(TranslationTable, EveryKeyboardHelpNameHasAFrenchText) {
  std::set<std::string> french_keys;
  for (const TranslationRow& row : AllRows()) {
    if (row.french) french_keys.insert(row.key);
  }
  for (const AcceleratorRow& row : Accelerators()) {
    if (row.help_name) {
      EXPECT_TRUE(french_keys.count(row.help_name)) << row.help_name;
    }
  }
  for (const PositionKeyRow& row : PositionKeys()) EXPECT_TRUE(french_keys.count(row.help_name)) << row.help_name;
}

}  // namespace
}  // namespace kestrel
