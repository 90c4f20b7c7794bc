#pragma once

#include <cstddef>
#include <string>

#include "net/fixture_http_server.h"

// A local internet radio station for the benchmark: an "ICY 200 OK" stream on 127.0.0.1 with
// in-band titles, that sends a burst on connect (as Icecast's burst-on-connect does) and then
// paces the rest in real time at the stream's bitrate, looping its MP3.
namespace kestrel::bench {

class IcyStation {
 public:
  IcyStation(std::string mp3, int bitrate_kbps, std::size_t burst_bytes);

  bool ok() const { return server_.port() != 0; }
  std::string url() const {
    return "http://127.0.0.1:" + std::to_string(server_.port()) + "/stream";
  }

 private:
  void Serve(test::FixtureConnection& connection) const;

  const std::string mp3_;
  const int bitrate_kbps_;
  const std::size_t burst_bytes_;
  test::FixtureHttpServer server_;
};

}  // namespace kestrel::bench
