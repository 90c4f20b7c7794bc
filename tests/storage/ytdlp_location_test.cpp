#include "storage/ytdlp_location.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "storage/file_io.h"
#include "support/temp_folder.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

class YtDlpLocation : public ::testing::Test {
 protected:
  fs::path Program(const std::string& relative, bool runnable = true) {
    const fs::path file = folder_.Write(relative, "#!/bin/sh\n");
    fs::permissions(file, runnable ? fs::perms::owner_all : fs::perms::owner_read);
    return file;
  }
  YtDlpPlaces Places() {
    return {folder_.path() / "data" / "Kestrel" / "yt-dlp", folder_.path() / "program",
            "relative/bin::" + (folder_.path() / "bin1").string() + ":" +
                (folder_.path() / "bin2").string()};
  }
  test::TempFolder folder_;
};

TEST_F(YtDlpLocation, TheFirstRunnableCopyWinsInItsOrder) {
  EXPECT_EQ(LocateYtDlp(Places()), fs::path()) << "nothing anywhere";

  const fs::path second_on_path = Program("bin2/yt-dlp");
  EXPECT_EQ(LocateYtDlp(Places()), second_on_path);
  const fs::path first_on_path = Program("bin1/yt-dlp");
  EXPECT_EQ(LocateYtDlp(Places()), first_on_path);
  const fs::path beside = Program("program/yt-dlp");
  EXPECT_EQ(LocateYtDlp(Places()), beside);
  const fs::path in_lib = Program("program/lib/yt-dlp");
  EXPECT_EQ(LocateYtDlp(Places()), in_lib);
  const fs::path own = Program("data/Kestrel/yt-dlp");
  EXPECT_EQ(LocateYtDlp(Places()), own);
}

TEST_F(YtDlpLocation, FilesThatCannotRunAreSkipped) {
  Program("data/Kestrel/yt-dlp", false);
  fs::create_directories(folder_.path() / "program" / "lib" / "yt-dlp");  // a folder
  const fs::path on_path = Program("bin2/yt-dlp");
  if (IsRunnableFile(folder_.path() / "data" / "Kestrel" / "yt-dlp")) {
    GTEST_SKIP() << "running as root: every file is runnable";
  }
  EXPECT_EQ(LocateYtDlp(Places()), on_path);
}

TEST_F(YtDlpLocation, RelativeSearchFoldersAreIgnored) {
  Program("relative/bin/yt-dlp");
  Program("yt-dlp");
  const fs::path previous = fs::current_path();
  fs::current_path(folder_.path());
  const fs::path found = FindProgramOnSearchPath("yt-dlp", "relative/bin::.");
  fs::current_path(previous);
  EXPECT_EQ(found, fs::path());
  EXPECT_EQ(FindProgramOnSearchPath("../yt-dlp", (folder_.path() / "relative/bin").string()),
            fs::path());
}

}  // namespace
}  // namespace kestrel
