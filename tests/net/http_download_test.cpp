// The transfers to disk: a file appears only when the whole body came.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "net/http.h"
#include "net/net_test_fixture.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

class HttpDownloadTest : public NetTest {
 protected:
  // True when the folder holds nothing but the files named.
  bool FolderHoldsOnly(std::vector<std::string> names) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
      found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    std::sort(names.begin(), names.end());
    return found == names;
  }

  TempFolder folder;
  std::atomic<bool> no_cancel{false};
};

TEST_F(HttpDownloadTest, DownloadToFileWritesTheWholeBody) {
  const std::string body(200000, 'e');
  server().Serve("/episode.mp3", HttpResponse(200, body));
  const fs::path target = folder.path() / "episodes" / "episode.mp3";
  EXPECT_TRUE(DownloadToFile(FeedUrl("/episode.mp3"), target, no_cancel));
  EXPECT_EQ(ReadWholeFile(target), body);
  EXPECT_FALSE(fs::exists(target.string() + ".part"));
}

TEST_F(HttpDownloadTest, ChunkedBodiesAndRedirectionsAreFollowed) {
  server().Serve("/chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                             "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n");
  server().Serve("/old-episode", HttpResponse(302, "", "Location: /chunked\r\n"));
  const fs::path target = folder.path() / "chunked.mp3";
  EXPECT_TRUE(DownloadToFile(FeedUrl("/old-episode"), target, no_cancel));
  EXPECT_EQ(ReadWholeFile(target), "hello world");
}

// Every failure leaves no file, and an earlier file stays as it was.
TEST_F(HttpDownloadTest, FailedDownloadsLeaveNoFile) {
  server().Serve("/short", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + std::string(500, 's'));
  server().Serve("/missing", HttpResponse(404, "<html>missing</html>"));
  server().Serve("/broken-chunks", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                   "5\r\nhello\r\n");
  server().Handle("/stalls", [](const FixtureRequest&, FixtureConnection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nsome bytes");
    connection.Pause(20000);
  });
  for (const char* target : {"/short", "/missing", "/broken-chunks", "/stalls"}) {
    const fs::path fresh = folder.path() / "fresh.mp3";
    EXPECT_FALSE(DownloadToFile(FeedUrl(target), fresh, no_cancel)) << target;
    const fs::path kept = folder.path() / "kept.mp3";
    folder.Write("kept.mp3", "old content");
    EXPECT_FALSE(DownloadToFile(FeedUrl(target), kept, no_cancel)) << target;
    EXPECT_EQ(ReadWholeFile(kept), "old content");
    EXPECT_TRUE(FolderHoldsOnly({"kept.mp3"})) << target;
  }
}

TEST_F(HttpDownloadTest, AnUnwritableTargetIsAFailure) {
  server().Serve("/fine", HttpResponse(200, "content"));
  folder.Write("not-a-folder", "a file");
  EXPECT_FALSE(DownloadToFile(FeedUrl("/fine"), folder.path() / "not-a-folder" / "episode.mp3", no_cancel));
  EXPECT_FALSE(DownloadToFile(FeedUrl("/fine"), folder.path() / "a" / "b" / "episode.mp3", no_cancel));
  EXPECT_FALSE(DownloadWithProgress(FeedUrl("/fine"), folder.path() / "not-a-folder" / "x", nullptr, 5));
  EXPECT_TRUE(FolderHoldsOnly({"not-a-folder"}));
}

TEST_F(HttpDownloadTest, ACancelStopsTheDownloadAndLeavesNoFile) {
  server().Serve("/cancelled", HttpResponse(200, std::string(100000, 'c')));
  std::atomic<bool> cancel{true};
  EXPECT_FALSE(DownloadToFile(FeedUrl("/cancelled"), folder.path() / "c.mp3", cancel));

  // A cancel while the server sends nothing also ends the download.
  server().Handle("/slow", [](const FixtureRequest&, FixtureConnection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nxx");
    connection.Pause(20000);
  });
  TransferLimits patient = CurrentTransferLimits();
  patient.download_stall_seconds = 60;
  SetTransferLimits(patient);
  std::atomic<bool> later{false};
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    later = true;
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(DownloadToFile(FeedUrl("/slow"), folder.path() / "s.mp3", later));
  canceller.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(FolderHoldsOnly({}));
}

TEST_F(HttpDownloadTest, ProgressIsReportedAndCanCancel) {
  server().Handle("/update.zip", [](const FixtureRequest&, FixtureConnection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 30000\r\n\r\n");
    for (int piece = 0; piece < 3; ++piece) {  // a slow trickle in three pieces
      connection.Send(std::string(10000, 'u'));
      connection.Pause(50);
    }
  });
  const fs::path target = folder.path() / "update.zip";
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  const ProgressCallback record = [&](std::uint64_t written, std::uint64_t total) {
    calls.emplace_back(written, total);
    return true;
  };
  EXPECT_TRUE(DownloadWithProgress(FeedUrl("/update.zip"), target, record, 5));
  EXPECT_EQ(fs::file_size(target), 30000u);
  ASSERT_GE(calls.size(), 3u);
  for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_GT(calls[i].first, calls[i - 1].first);
  EXPECT_EQ(calls.back(), std::make_pair(std::uint64_t{30000}, std::uint64_t{30000}));

  fs::remove(target);
  const ProgressCallback stop = [](std::uint64_t, std::uint64_t) { return false; };
  EXPECT_FALSE(DownloadWithProgress(FeedUrl("/update.zip"), target, stop, 5));
  EXPECT_TRUE(FolderHoldsOnly({}));
}

TEST_F(HttpDownloadTest, DownloadWithProgressCountsItsRedirections) {
  // /chain-N redirects to /chain-(N-1); /chain-0 is the file.
  for (int hop = 1; hop <= 6; ++hop) {
    server().Serve("/chain-" + std::to_string(hop),
                   HttpResponse(302, "", "Location: /chain-" + std::to_string(hop - 1) + "\r\n"));
  }
  server().Serve("/chain-0", HttpResponse(200, "release"));
  const fs::path target = folder.path() / "release.zip";
  EXPECT_TRUE(DownloadWithProgress(FeedUrl("/chain-5"), target, nullptr, 5));
  EXPECT_EQ(ReadWholeFile(target), "release");
  fs::remove(target);
  EXPECT_FALSE(DownloadWithProgress(FeedUrl("/chain-6"), target, nullptr, 5));
  EXPECT_FALSE(DownloadWithProgress(FeedUrl("/chain-1"), target, nullptr, 0));
  EXPECT_TRUE(FolderHoldsOnly({}));
}

TEST_F(HttpDownloadTest, DownloadWithProgressRefusesEmptyAndUnfinishedAnswers) {
  server().Serve("/empty", HttpResponse(200, ""));
  server().Serve("/nowhere", HttpResponse(302, "a redirection page"));
  server().Serve("/error", HttpResponse(500, "server error page"));
  for (const char* answer : {"/empty", "/nowhere", "/error"}) {
    EXPECT_FALSE(DownloadWithProgress(FeedUrl(answer), folder.path() / "f", nullptr, 5)) << answer;
  }
  EXPECT_TRUE(FolderHoldsOnly({}));
}

}  // namespace
}  // namespace kestrel::test
