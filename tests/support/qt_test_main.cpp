// Entry point of the suites that need Qt: every user folder the player touches points into one
// temporary folder, speech is captured to a file, and the application runs offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "support/test_environment.h"

int main(int argc, char** argv) {
  kestrel::test::PrepareTestEnvironment();
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(kestrel::test::TestRoot(), ec);
  return result;
}
