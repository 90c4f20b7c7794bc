#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "net/fixture_http_server.h"
#include "net/transfer_limits.h"

namespace kestrel::test {

// The routed host names: the transfers keep them in their URLs and reach the fixture server.
inline constexpr const char* kFeedHost = "feeds.kestrel.test";
inline constexpr const char* kApiHost = "api.kestrel.test";

// One fixture server per test process. The routing is read once by the first transfer, so it is
// set before any test runs one.
inline FixtureHttpServer& SharedServer() {
  static FixtureHttpServer* server = [] {
    auto* created = new FixtureHttpServer();
    const std::string port = std::to_string(created->port());
    const std::string routes = std::string(kFeedHost) + ":80:127.0.0.1:" + port + "," + kApiHost +
                               ":80:127.0.0.1:" + port;
    setenv("KESTREL_CONNECT_TO", routes.c_str(), 1);
    return created;
  }();
  return *server;
}

class NetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SharedServer();
    TransferLimits limits;
    limits.memory_stall_seconds = 1;
    limits.memory_total_seconds = 20;
    limits.download_stall_seconds = 1;
    SetTransferLimits(limits);
  }
  void TearDown() override { SetTransferLimits(TransferLimits()); }

  FixtureHttpServer& server() { return SharedServer(); }
  static std::string FeedUrl(const std::string& target) { return std::string("http://") + kFeedHost + target; }
};

}  // namespace kestrel::test
