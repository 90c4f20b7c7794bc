#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "i18n/translate.h"
#include "storage/database.h"
#include "support/temp_folder.h"

namespace kestrel::test {

// A store of its own in a temporary folder, open for the test, with a clock the test sets.
class DatabaseTest : public ::testing::Test {
 public:
  static std::int64_t& Clock() {
    static std::int64_t now = 1'700'000'000;
    return now;
  }

  static void RawExecOn(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(result, SQLITE_OK) << sql << ": " << message;
  }

  // The first column of the first row of `sql` on a raw connection, as text ("" for none).
  static std::string RawQuery(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string value;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
      sqlite3_stmt* statement = nullptr;
      if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
          sqlite3_step(statement) == SQLITE_ROW) {
        const auto* text = sqlite3_column_text(statement, 0);
        if (text) value = reinterpret_cast<const char*>(text);
      }
      sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return value;
  }

 protected:
  void SetUp() override {
    RegisterAllTranslations();
    SetLanguage("en");
    CloseDatabase();
    Clock() = 1'700'000'000;
    SetDatabaseClockForTesting([] { return Clock(); });
    file_ = folder_.path() / "Kestrel.db";
    ASSERT_TRUE(OpenDatabaseAt(file_)) << DatabaseOpenFailureMessage();
  }

  void TearDown() override {
    CloseDatabase();
    SetDatabaseClockForTesting(nullptr);
  }

  // Runs SQL on a second, raw connection to the same file (what another program would see).
  void RawExec(const std::string& sql) const { RawExecOn(file_, sql); }

  TempFolder folder_;
  std::filesystem::path file_;
};

}  // namespace kestrel::test
