// A player killed while writing bookmarks and positions leaves a store that opens with
// everything it had committed.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "database_fixture.h"

namespace kestrel::test {
namespace {

// The child writes bookmark i and the position of file i, then reports i through the pipe.
[[noreturn]] void WriteUntilKilled(const std::filesystem::path& file, int report_fd) {
  if (!OpenDatabaseAt(file)) _exit(3);
  for (int i = 0;; ++i) {
    const std::string path = "/books/" + std::to_string(i) + ".mp3";
    if (AddBookmark(path, i + 0.5) < 0 || !SavePosition(path, i * 2.0)) _exit(4);
    if (write(report_fd, &i, sizeof i) != static_cast<ssize_t>(sizeof i)) _exit(5);
  }
}

TEST(DatabaseKillTest, EverythingCommittedBeforeTheKillIsThere) {
  TempFolder folder;
  const std::filesystem::path file = folder.path() / "Kestrel.db";
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    CloseDatabase();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      WriteUntilKilled(file, fds[1]);
    }
    close(fds[1]);
    // Kill at a different moment each round, mid-write.
    int last = -1;
    const int kill_after = 50 + round * 37;
    int value = 0;
    while (last < kill_after && read(fds[0], &value, sizeof value) == sizeof value) last = value;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(fds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);
    ASSERT_GE(last, kill_after);

    ASSERT_TRUE(OpenDatabaseAt(file)) << DatabaseOpenFailureMessage();
    EXPECT_EQ(DatabaseTest::RawQuery(file, "PRAGMA integrity_check;"), "ok");
    const std::vector<BookmarkEntry> bookmarks = ListBookmarks();
    // Earlier rounds' rows plus at least every row reported in this round.
    std::size_t reported = 0;
    for (int i = 0; i <= last; ++i) {
      const std::string path = "/books/" + std::to_string(i) + ".mp3";
      EXPECT_EQ(LoadPosition(path), i * 2.0) << path;
      for (const BookmarkEntry& entry : bookmarks) {
        if (entry.path == path && entry.position == i + 0.5) {
          ++reported;
          break;
        }
      }
    }
    EXPECT_EQ(reported, static_cast<std::size_t>(last + 1));
    CloseDatabase();
  }
}

}  // namespace
}  // namespace kestrel::test
