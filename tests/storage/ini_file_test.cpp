#include "storage/ini_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>

#include "storage/file_io.h"
#include "storage/ini_values.h"
#include "support/temp_folder.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::TempFolder;

// Everything in the folder except the INI file and its lock file: leftovers of a write.
std::vector<std::string> Leftovers(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "Kestrel.ini" && name != "Kestrel.ini.lock") names.push_back(name);
  }
  return names;
}

TEST(IniFile, UpdateChangesOneKeyAndKeepsTheRest) {
  TempFolder folder;
  const fs::path file =
      folder.Write("Kestrel.ini", "; mine\r\n[Playback]\r\nShuffle=0\r\nOdd=1\r\n");
  ASSERT_TRUE(UpdateIniFile(file, [](IniDocument& d) { d.Set("Playback", "Shuffle", "1"); }));
  EXPECT_EQ(ReadWholeFile(file), "; mine\r\n[Playback]\r\nShuffle=1\r\nOdd=1\r\n");
  EXPECT_TRUE(Leftovers(folder.path()).empty());
}

TEST(IniFile, MissingFileReadsEmptyAndIsCreatedByTheFirstWrite) {
  TempFolder folder;
  const fs::path file = folder.path() / "Kestrel.ini";
  bool readable = false;
  EXPECT_FALSE(ReadIniFile(file, &readable).HasSection("Playback"));
  EXPECT_TRUE(readable);
  ASSERT_TRUE(UpdateIniFile(file, [](IniDocument& d) { d.Set("Playback", "Shuffle", "1"); }));
  EXPECT_EQ(ReadWholeFile(file), "[Playback]\nShuffle=1\n");
}

TEST(IniFile, AnUnreadableFileIsNeverReplaced) {
  TempFolder folder;
  const fs::path file = folder.path() / "Kestrel.ini";
  fs::create_directory(file);  // something that is not a readable file
  fs::path inside = folder.Write("Kestrel.ini/keep", "x");
  bool readable = true;
  ReadIniFile(file, &readable);
  EXPECT_FALSE(readable);
  EXPECT_FALSE(UpdateIniFile(file, [](IniDocument& d) { d.Set("S", "K", "v"); }));
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(ReadWholeFile(inside), "x");
}

TEST(IniFile, AFailedWriteLeavesTheOldFileWhole) {
  // The child may only grow files to 4 KB, so writing the 100 KB file fails half way: whether
  // or not we run as root. The answer comes back as the exit code.
  TempFolder folder;
  const std::string old_content = "[S]\nK=old\nOther=kept\n";
  const fs::path file = folder.Write("Kestrel.ini", old_content);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool written =
        UpdateIniFile(file, [](IniDocument& d) { d.Set("S", "K", std::string(100000, 'n')); });
    _exit(written ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a failed write was reported as success";
  EXPECT_EQ(ReadWholeFile(file), old_content);
  EXPECT_TRUE(Leftovers(folder.path()).empty()) << Leftovers(folder.path()).front();
}

TEST(IniFile, AReadOnlyFolderFailsCleanly) {
  TempFolder folder;
  const fs::path file = folder.Write("Kestrel.ini", "[S]\nK=old\n");
  fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
  if (IsFolderWritable(folder.path())) {
    fs::permissions(folder.path(), fs::perms::owner_all);
    GTEST_SKIP() << "running as root: a read-only folder is still writable";
  }
  const bool written = WriteFileAtomically(file, "[S]\nK=new\n");
  fs::permissions(folder.path(), fs::perms::owner_all);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadWholeFile(file), "[S]\nK=old\n");
}

TEST(IniFile, WritesKeepPermissionsAndSymbolicLinks) {
  TempFolder folder;
  const fs::path real = folder.Write("dotfiles/Kestrel.ini", "[S]\nK=1\n");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  const fs::path link = folder.path() / "Kestrel.ini";
  fs::create_symlink(real, link);

  ASSERT_TRUE(UpdateIniFile(link, [](IniDocument& d) { d.Set("S", "K", "2"); }));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(real), "[S]\nK=2\n");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(IniFile, AnUnchangedDocumentIsNotRewritten) {
  TempFolder folder;
  const fs::path file = folder.Write("Kestrel.ini", "[S]\nK=1\n");
  struct stat before {
  }, after{};
  ASSERT_EQ(stat(file.c_str(), &before), 0);
  ASSERT_TRUE(UpdateIniFile(file, [](IniDocument& d) { d.Set("S", "k", "1"); }));
  ASSERT_EQ(stat(file.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST(IniFile, ConcurrentUpdatersKeepEachOthersKeys) {
  // Two writers, each counting its own key up; without the lock one would write back a file
  // read before the other's last write and lose that count.
  TempFolder folder;
  const fs::path file = folder.path() / "Kestrel.ini";
  constexpr int kRounds = 25;
  auto count_up = [&](const char* key) {
    for (int i = 0; i < kRounds; ++i) {
      ASSERT_TRUE(UpdateIniFile(file, [&](IniDocument& d) {
        const int current = ParseLeadingInt(d.Find("Counts", key).value_or("0"));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));  // a slow writer widens the race
        d.Set("Counts", key, FormatInt(current + 1));
      }));
    }
  };
  std::thread first(count_up, "First");
  std::thread second(count_up, "Second");
  first.join();
  second.join();
  const IniDocument result = ReadIniFile(file);
  EXPECT_EQ(result.Find("Counts", "First"), FormatInt(kRounds));
  EXPECT_EQ(result.Find("Counts", "Second"), FormatInt(kRounds));
}

TEST(IniFile, TheLockIsExclusiveBetweenHolders) {
  TempFolder folder;
  const fs::path lock_file = folder.path() / "Kestrel.ini.lock";
  ExclusiveFileLock first(lock_file, std::chrono::milliseconds(0));
  ASSERT_TRUE(first.held());
  ExclusiveFileLock second(lock_file, std::chrono::milliseconds(50));
  EXPECT_FALSE(second.held());
}

}  // namespace
}  // namespace kestrel
