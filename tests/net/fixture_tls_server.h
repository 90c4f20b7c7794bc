#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::test {

// Runs a program with exactly these arguments (no shell), its output going to `output_file`
// (discarded when empty), with `environment` ("NAME=value" entries) instead of ours when given.
// Returns its exit status, -1 when it could not be started or did not exit normally.
int RunProgram(const std::vector<std::string>& arguments, const std::filesystem::path& output_file = {},
               const std::vector<std::string>& environment = {});

// Throwaway certificates made with the `openssl` program in `folder`: a test CA, a server
// certificate it issues for `host_names`, and a self-signed certificate for `self_signed_names`
// that nobody trusts.
struct TestCertificates {
  std::filesystem::path ca_file;
  std::filesystem::path server_cert;
  std::filesystem::path server_key;
  std::filesystem::path self_signed_cert;
  std::filesystem::path self_signed_key;
  // Empty when every step worked; otherwise what failed.
  std::string error;
};
TestCertificates MakeTestCertificates(const std::filesystem::path& folder,
                                      const std::vector<std::string>& host_names,
                                      const std::vector<std::string>& self_signed_names);

// An HTTPS server on 127.0.0.1 (a free port): `openssl s_server -HTTP` serving from its own
// folder, where each file holds a complete scripted HTTP response. One connection at a time.
class FixtureTlsServer {
 public:
  FixtureTlsServer(const std::filesystem::path& folder, const std::filesystem::path& cert,
                   const std::filesystem::path& key);
  ~FixtureTlsServer();
  FixtureTlsServer(const FixtureTlsServer&) = delete;
  FixtureTlsServer& operator=(const FixtureTlsServer&) = delete;

  // 0 when the server did not start.
  std::uint16_t port() const { return port_; }
  // Answers "/<name>" with `response` (a plain name: no slashes, no query).
  void Serve(const std::string& name, const std::string& response) const;
  const std::string& startup_log() const { return startup_log_; }

 private:
  std::filesystem::path documents_;
  pid_t pid_ = -1;
  std::uint16_t port_ = 0;
  std::string startup_log_;
};

}  // namespace kestrel::test
