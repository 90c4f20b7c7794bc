#include "engine/open_errors.h"

#include <gtest/gtest.h>

#include <string>

#include "i18n/translate.h"

namespace kestrel {
namespace {

// The texts of both languages are registered, as at start; English is active unless a test says.
class OpenErrors : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllTranslations(); }
  void SetUp() override { SetLanguage("en"); }
  void TearDown() override { SetLanguage("en"); }
};

TEST_F(OpenErrors, EachCodeHasItsFileAndUrlReason) {
  struct Case {
    int code;
    const char* file_reason;
    const char* url_reason;
  };
  const Case cases[] = {
      {1, "Out of memory.", "Could not open stream."},
      {2, "Could not open the file.", "Could not connect to URL."},
      {6, "Unsupported sample format.", "Unsupported sample format."},
      {10, "Unknown error.", "SSL/HTTPS not supported."},
      {21, "3D sound is not available.", "Could not open stream."},
      {32, "Unknown error.", "No internet connection."},
      {40, "Unknown error.", "Connection timed out."},
      {41, "Unsupported file format.",
       "Unsupported stream format. Check bass_aac.dll is in lib folder."},
      {44, "Required codec is not available.", "Required codec is not available."},
      {5, "Unknown error.", "Could not open stream."},
      {0, "Unknown error.", "Could not open stream."},
      {-1, "Unknown error.", "Could not open stream."},
  };
  for (const Case& c : cases) {
    // The English texts are the keys; this build may word one differently for its users.
    EXPECT_EQ(FileErrorReason(c.code), Translate(c.file_reason)) << c.code;
    EXPECT_EQ(UrlErrorReason(c.code), Translate(c.url_reason)) << c.code;
  }
}

TEST_F(OpenErrors, FileMessageNamesTheFileAfterEitherSeparator) {
  EXPECT_EQ(FileErrorMessage("/home/me/broken.flac", 41),
            "Cannot play file:\nbroken.flac\n\nUnsupported file format.");
  EXPECT_EQ(FileErrorMessage("D:\\Music\\gone.mp3", 2),
            "Cannot play file:\ngone.mp3\n\nCould not open the file.");
}

TEST_F(OpenErrors, UrlMessageCarriesTheCodeAndCutsLongAddresses) {
  EXPECT_EQ(UrlErrorMessage("http://example.com/x", 40),
            "Cannot play URL:\nhttp://example.com/x\n\nError: Connection timed out. (code 40)");
  EXPECT_EQ(UrlErrorMessage("http://a", -1),
            "Cannot play URL:\nhttp://a\n\nError: Could not open stream. (code -1)");

  const std::string long_url = "http://example.com/" + std::string(131, 'a');  // 150 units
  ASSERT_EQ(long_url.size(), 150u);
  EXPECT_EQ(UrlErrorMessage(long_url, 2), "Cannot play URL:\n" + long_url.substr(0, 100) +
                                              "...\n\nError: Could not connect to URL. (code 2)");
  const std::string exactly_100 = long_url.substr(0, 100);
  EXPECT_EQ(UrlErrorMessage(exactly_100, 2).find("..."), std::string::npos);

  // Counted in UTF-16 units and never cut inside a character: "é" is one unit (two bytes),
  // an emoji two units (four bytes).
  const std::string accented = "http://x/" + std::string(89, 'a') +
                               "\xC3\xA9\xC3\xA9"
                               "bcdef";
  EXPECT_NE(UrlErrorMessage(accented, 2)
                .find(std::string(89, 'a') + "\xC3\xA9\xC3\xA9"
                                             "...\n"),
            std::string::npos);
  // 99 units, then a character of two units that would make 101: cut before it.
  const std::string emoji = "http://x/" + std::string(90, 'a') +
                            "\xF0\x9F\x8E\xB5"
                            "bcdefghij";
  const std::string shown = UrlErrorMessage(emoji, 2);
  EXPECT_NE(shown.find(std::string(90, 'a') + "...\n"), std::string::npos);
  EXPECT_EQ(shown.find("\xF0"), std::string::npos);
}

TEST_F(OpenErrors, MessagesAreTranslated) {
  SetLanguage("fr");
  EXPECT_EQ(FileErrorMessage("/x/a.wav", 2),
            Translate("Cannot play file:") + "\na.wav\n\n" + Translate("Could not open the file."));
  EXPECT_NE(Translate("Cannot play file:"), "Cannot play file:");
  EXPECT_NE(UrlErrorMessage("http://a", 32).find(Translate("No internet connection.")),
            std::string::npos);
}

}  // namespace
}  // namespace kestrel
