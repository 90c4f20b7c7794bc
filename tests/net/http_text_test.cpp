// The in-memory fetches: text for feeds and directories, bytes for release queries.

#include <curl/curl.h>

#include <chrono>

#include "net/http.h"
#include "net/net_test_fixture.h"

namespace kestrel::test {
namespace {

class HttpTextTest : public NetTest {};

TEST_F(HttpTextTest, HttpGetReturnsTheBodyAndFillsTheReport) {
  const std::string body = std::string(1000, 'x');
  server().Serve("/feed.xml?page=2", HttpResponse(200, body));
  FetchReport report;
  EXPECT_EQ(HttpGet(FeedUrl("/feed.xml?page=2"), "", "", &report), body);
  EXPECT_EQ(report.status, 200u);
  EXPECT_EQ(report.error_code, 0u);
  EXPECT_EQ(report.error_text, "");
  EXPECT_EQ(report.bytes_received, 1000u);
  EXPECT_EQ(report.preview, std::string(400, 'x'));

  const auto requests = server().RequestsFor("/feed.xml?page=2");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Header("User-Agent"), "Kestrel/1.0");
  EXPECT_EQ(requests[0].Header("Host"), kFeedHost);
}

TEST_F(HttpTextTest, ErrorPagesComeBackWithTheirStatus) {
  server().Serve("/gone", HttpResponse(404, "<html>gone</html>"));
  FetchReport report;
  EXPECT_EQ(HttpGet(FeedUrl("/gone"), "", "", &report), "<html>gone</html>");
  EXPECT_EQ(report.status, 404u);
  EXPECT_EQ(report.preview, "<html>gone</html>");
  EXPECT_EQ(FetchText(FeedUrl("/gone")), "<html>gone</html>");
}

TEST_F(HttpTextTest, HttpGetRefusesOtherSchemesWithoutAnyRequest) {
  for (const char* url : {"ftp://feeds.kestrel.test/scheme", "HTTPS://feeds.kestrel.test/scheme",
                          "feeds.kestrel.test/scheme"}) {
    FetchReport report;
    EXPECT_EQ(HttpGet(url, "", "", &report), "") << url;
    EXPECT_EQ(report.status, 0u);
    EXPECT_EQ(report.error_code, 0u);
    EXPECT_EQ(report.error_text, kUnsupportedSchemeText);
  }
  EXPECT_TRUE(server().RequestsFor("/scheme").empty());
}

TEST_F(HttpTextTest, TheUrlPortIsHonoured) {
  server().Serve("/on-port", HttpResponse(200, "port body"));
  const std::string url = "http://127.0.0.1:" + std::to_string(server().port()) + "/on-port";
  FetchReport report;
  EXPECT_EQ(HttpGet(url, "", "", &report), "port body");
  EXPECT_EQ(report.status, 200u);
  EXPECT_EQ(FetchText(url), "port body");
}

TEST_F(HttpTextTest, BodiesAreCleanedUtf8) {
  std::string body = "caf\xE9";
  body += std::string(96, 'a');
  body += '\0';
  body += "after the nul";
  server().Serve("/latin1", HttpResponse(200, body));
  EXPECT_EQ(FetchText(FeedUrl("/latin1")), "caf\xEF\xBF\xBD" + std::string(96, 'a'));
}

TEST_F(HttpTextTest, FetchTextSendsAcceptAndTheExtraLines) {
  server().Serve("/stations", HttpResponse(200, "[]"));
  EXPECT_EQ(FetchText(FeedUrl("/stations"), "Accept: application/json\r\n"), "[]");
  const auto requests = server().RequestsFor("/stations");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Headers("Accept"), (std::vector<std::string>{"*/*", "application/json"}));
  EXPECT_EQ(requests[0].Header("User-Agent"), "Kestrel/1.0");
}

TEST_F(HttpTextTest, CredentialsAnswerTheServersChallenge) {
  server().Handle("/private", [](const FixtureRequest& request, FixtureConnection& connection) {
    // "listener:secret" in base64
    if (request.Header("Authorization") == "Basic bGlzdGVuZXI6c2VjcmV0") {
      connection.Send(HttpResponse(200, "members"));
    } else {
      connection.Send(HttpResponse(401, "who?", "WWW-Authenticate: Basic realm=\"feed\"\r\n"));
    }
  });
  EXPECT_EQ(HttpGet(FeedUrl("/private"), "listener", "secret"), "members");
  EXPECT_EQ(HttpGet(FeedUrl("/private"), "", ""), "who?");
}

TEST_F(HttpTextTest, RedirectionsAreFollowedUpToTheLimit) {
  server().Serve("/moved", HttpResponse(301, "", "Location: /hop1\r\n"));
  server().Serve("/hop1", HttpResponse(302, "", "Location: http://feeds.kestrel.test/hop2\r\n"));
  server().Serve("/hop2", HttpResponse(200, "arrived"));
  EXPECT_EQ(FetchText(FeedUrl("/moved")), "arrived");
  EXPECT_EQ(HttpGet(FeedUrl("/moved"), "", ""), "arrived");

  server().Serve("/loop", HttpResponse(302, "", "Location: /loop\r\n"));
  FetchReport report;
  EXPECT_EQ(HttpGet(FeedUrl("/loop"), "", "", &report), "");
  EXPECT_EQ(report.error_code, static_cast<std::uint32_t>(CURLE_TOO_MANY_REDIRECTS));
  EXPECT_FALSE(report.error_text.empty());
  EXPECT_EQ(server().RequestsFor("/loop").size(), 11u);  // the first request and ten redirections
}

TEST_F(HttpTextTest, AnEndlessBodyStopsAtTheSizeCap) {
  server().Handle("/radio.mp3", [](const FixtureRequest&, FixtureConnection& connection) {
    connection.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n");
    const std::string block(64 * 1024, 'A');
    while (connection.Send(block)) {
    }
  });
  FetchReport report;
  EXPECT_EQ(HttpGet(FeedUrl("/radio.mp3"), "", "", &report), "");
  EXPECT_EQ(report.status, 200u);
  EXPECT_EQ(report.error_code, static_cast<std::uint32_t>(CURLE_FILESIZE_EXCEEDED));
  EXPECT_LE(report.bytes_received, CurrentTransferLimits().max_memory_body_bytes);
  EXPECT_EQ(FetchText(FeedUrl("/radio.mp3")), "");
}

TEST_F(HttpTextTest, AStalledServerIsGivenUp) {
  server().Handle("/stall", [](const FixtureRequest&, FixtureConnection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst bytes");
    connection.Pause(20000);
  });
  const auto start = std::chrono::steady_clock::now();
  FetchReport report;
  EXPECT_EQ(HttpGet(FeedUrl("/stall"), "", "", &report), "");
  EXPECT_EQ(report.error_code, static_cast<std::uint32_t>(CURLE_OPERATION_TIMEDOUT));
  EXPECT_EQ(report.preview, "first bytes");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(HttpTextTest, ABodyShorterThanAnnouncedIsAFailure) {
  server().Serve("/cut", "HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\nonly this");
  FetchReport report;
  EXPECT_EQ(HttpGet(FeedUrl("/cut"), "", "", &report), "");
  EXPECT_EQ(report.error_code, static_cast<std::uint32_t>(CURLE_PARTIAL_FILE));
}

TEST_F(HttpTextTest, GitHubApiGetSendsTheApiHeadersAndKeepsTheBytes) {
  const std::string body = std::string("[{\"tag_name\":\"v2\"}]\0tail", 25);
  server().Serve("/repos/owner/app/releases", HttpResponse(200, body));
  EXPECT_EQ(GitHubApiGet(kApiHost, "/repos/owner/app/releases", false), body);
  const auto requests = server().RequestsFor("/repos/owner/app/releases");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Header("Accept"), "application/vnd.github.v3+json");
  EXPECT_EQ(requests[0].Header("User-Agent"), "Kestrel/1.0");
}

}  // namespace
}  // namespace kestrel::test
