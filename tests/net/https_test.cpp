// The https transfers against `openssl s_server` fixtures: they succeed with a server issued by
// the CA the process is told to trust, and fail against any server whose certificate does not
// verify, so certificate and host name checks are proven on.

#include <curl/curl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "net/fixture_tls_server.h"
#include "net/http.h"
#include "net/net_test_fixture.h"
#include "support/temp_folder.h"

extern char** environ;

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

// Issued by nobody we trust, though named correctly.
constexpr const char* kSelfSignedHost = "self-signed.kestrel.test";
// Reaches the trusted server under a name its certificate does not carry.
constexpr const char* kUnnamedHost = "unnamed.kestrel.test";
// Set for the child process that runs without the test CA.
constexpr const char* kWithoutTestCaMarker = "KESTREL_TEST_WITHOUT_TEST_CA";
constexpr const char* kProbeBody = "reachable";

struct HttpsFixtures {
  TempFolder folder;
  TestCertificates certificates;
  std::unique_ptr<FixtureTlsServer> trusted;
  std::unique_ptr<FixtureTlsServer> self_signed;
  std::string error;
};
HttpsFixtures* g_https = nullptr;

std::string Route(const std::string& host, std::uint16_t port) {
  return host + ":443:127.0.0.1:" + std::to_string(port);
}

bool HttpsTestsWillRun() {
  const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
  for (int i = 0; i < unit.total_test_suite_count(); ++i) {
    const ::testing::TestSuite& suite = *unit.GetTestSuite(i);
    if (std::string(suite.name()) == "HttpsTest" && suite.should_run()) return true;
  }
  return false;
}

// The servers start before any test, because the routing and the trusted CA are read by the
// first transfer of the process.
class HttpsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (std::getenv(kWithoutTestCaMarker) || !HttpsTestsWillRun()) return;
    SharedServer();  // its plain http routes come first
    g_https = new HttpsFixtures();
    const fs::path root = g_https->folder.path();
    fs::create_directories(root / "trusted");
    fs::create_directories(root / "self-signed");
    g_https->certificates = MakeTestCertificates(root, {kFeedHost, kApiHost}, {kSelfSignedHost});
    if (!g_https->certificates.error.empty()) {
      g_https->error = g_https->certificates.error;
      return;
    }
    const TestCertificates& certificates = g_https->certificates;
    g_https->trusted = std::make_unique<FixtureTlsServer>(root / "trusted", certificates.server_cert,
                                                          certificates.server_key);
    g_https->self_signed = std::make_unique<FixtureTlsServer>(
        root / "self-signed", certificates.self_signed_cert, certificates.self_signed_key);
    if (g_https->trusted->port() == 0 || g_https->self_signed->port() == 0) {
      g_https->error = "s_server did not start: " + g_https->trusted->startup_log() +
                       g_https->self_signed->startup_log();
      return;
    }
    const std::uint16_t trusted = g_https->trusted->port();
    const std::string routes = std::string(std::getenv("KESTREL_CONNECT_TO")) + "," +
                               Route(kFeedHost, trusted) + "," + Route(kApiHost, trusted) + "," +
                               Route(kUnnamedHost, trusted) + "," +
                               Route(kSelfSignedHost, g_https->self_signed->port());
    setenv("KESTREL_CONNECT_TO", routes.c_str(), 1);
    setenv("KESTREL_CA_FILE", certificates.ca_file.c_str(), 1);
  }
  void TearDown() override {
    delete g_https;
    g_https = nullptr;
  }
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new HttpsEnvironment());

// Every https operation against `host`, whose server would answer "/probe", must fail as a
// certificate verification failure and leave no file changed or behind.
void ExpectEveryHttpsOperationFails(const std::string& host, const fs::path& folder) {
  SCOPED_TRACE(host);
  const std::string url = "https://" + host + "/probe";
  std::string bytes = "stale";
  EXPECT_FALSE(HttpsGetBytes(host, "/probe", bytes));
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(FetchTextSecure(url), "");
  EXPECT_EQ(FetchText(url), "");
  EXPECT_EQ(GitHubApiGet(host, "/probe", true), "");
  FetchReport report;
  EXPECT_EQ(HttpGet(url, "", "", &report), "");
  EXPECT_EQ(report.error_code, static_cast<std::uint32_t>(CURLE_PEER_FAILED_VERIFICATION));
  EXPECT_EQ(report.status, 0u);

  const fs::path tool = folder / "tool";
  { std::ofstream(tool) << "old"; }
  EXPECT_FALSE(DownloadReplacing(host, "/probe", tool, 3));
  EXPECT_EQ(ReadWholeFile(tool), "old");
  const std::atomic<bool> no_cancel{false};
  EXPECT_FALSE(DownloadToFile(url, folder / "episode.mp3", no_cancel));
  EXPECT_FALSE(DownloadWithProgress(url, folder / "update.bin", {}, 5));
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"tool"});
  fs::remove(tool);
}

class HttpsTest : public NetTest {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    ASSERT_NE(g_https, nullptr);
    ASSERT_EQ(g_https->error, "");
    trusted().Serve("probe", HttpResponse(200, kProbeBody));
    g_https->self_signed->Serve("probe", HttpResponse(200, kProbeBody));
  }
  const FixtureTlsServer& trusted() { return *g_https->trusted; }

  TempFolder folder;
};

TEST_F(HttpsTest, FetchesSucceedWithTheTrustedCa) {
  const std::string release("{\"tag\":\"1.2\"}\0\xff\xfe binary tail", 27);
  trusted().Serve("release.json", HttpResponse(200, release));
  trusted().Serve("empty", HttpResponse(200, ""));
  trusted().Serve("search", HttpResponse(200, "caf\xc3\xa9 results"));

  std::string bytes;
  EXPECT_TRUE(HttpsGetBytes(kApiHost, "/release.json", bytes));
  EXPECT_EQ(bytes, release);  // handed back undecoded, NUL and all
  EXPECT_FALSE(HttpsGetBytes(kApiHost, "/empty", bytes));
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(GitHubApiGet(kApiHost, "/release.json", true), release);
  EXPECT_EQ(FetchTextSecure(std::string("https://") + kFeedHost + "/search"), "caf\xc3\xa9 results");
  FetchReport report;
  EXPECT_EQ(HttpGet(std::string("https://") + kFeedHost + "/probe", "", "", &report), kProbeBody);
  EXPECT_EQ(report.status, 200u);
}

TEST_F(HttpsTest, DownloadReplacingReplacesTheTargetWhole) {
  std::string tool(150000, '\0');
  for (std::size_t i = 0; i < tool.size(); ++i) tool[i] = static_cast<char>(i * 7);
  // The redirection names another host, plain http and a port: it is still followed over https
  // on the standard port.
  trusted().Serve("tool", HttpResponse(302, "", "Location: http://api.kestrel.test:8080/tool-v2\r\n"));
  trusted().Serve("tool-v2", HttpResponse(200, tool));
  const fs::path target = folder.Write("yt-tool", "old version");

  EXPECT_TRUE(DownloadReplacing(kFeedHost, "/tool", target, 3));
  EXPECT_EQ(ReadWholeFile(target), tool);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

TEST_F(HttpsTest, DownloadReplacingKeepsTheOldFileWhenTheDownloadFails) {
  trusted().Serve("missing", HttpResponse(404, "<html>missing</html>"));
  trusted().Serve("created", HttpResponse(201, "not a 200"));
  trusted().Serve("short", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n" +
                               std::string(500, 's'));
  trusted().Serve("loop", HttpResponse(302, "", "Location: https://feeds.kestrel.test/loop\r\n"));
  trusted().Serve("moved-nowhere", HttpResponse(301, "no location"));
  const fs::path target = folder.Write("yt-tool", "old version");
  for (const char* path : {"/missing", "/created", "/short", "/loop", "/moved-nowhere"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(DownloadReplacing(kFeedHost, path, target, 3));
    EXPECT_EQ(ReadWholeFile(target), "old version");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
  }
}

TEST_F(HttpsTest, UntrustedOrMisnamedServersAreRefused) {
  ExpectEveryHttpsOperationFails(kSelfSignedHost, folder.path());
  ExpectEveryHttpsOperationFails(kUnnamedHost, folder.path());
}

// A process that does not trust the test CA (only the system's trust store) must refuse the
// servers it issued: the same tests rerun in a child of this test program without KESTREL_CA_FILE.
TEST_F(HttpsTest, WithoutTheTestCaEveryOperationFails) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    if (!std::string_view(*entry).starts_with("KESTREL_CA_FILE=")) environment.emplace_back(*entry);
  }
  environment.push_back(std::string(kWithoutTestCaMarker) + "=1");
  const fs::path output = folder.path() / "child.log";
  const int status = RunProgram({fs::read_symlink("/proc/self/exe").string(),
                                 "--gtest_filter=HttpsChildWithoutTestCa.*"},
                                output, environment);
  const std::string log = ReadWholeFile(output);
  EXPECT_EQ(status, 0) << log;
  EXPECT_NE(log.find("[  PASSED  ] 1 test."), std::string::npos) << log;
}

TEST(HttpsChildWithoutTestCa, EveryOperationFails) {
  if (!std::getenv(kWithoutTestCaMarker)) GTEST_SKIP() << "runs only as a child of HttpsTest";
  ASSERT_EQ(std::getenv("KESTREL_CA_FILE"), nullptr);
  TransferLimits limits;
  limits.memory_stall_seconds = 1;
  limits.download_stall_seconds = 1;
  SetTransferLimits(limits);
  TempFolder folder;
  ExpectEveryHttpsOperationFails(kFeedHost, folder.path());
  ExpectEveryHttpsOperationFails(kApiHost, folder.path());
}

}  // namespace
}  // namespace kestrel::test
