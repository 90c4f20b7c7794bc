#include "net/fixture_tls_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/temp_folder.h"

extern char** environ;

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

// Starts a program without a shell. Returns its pid, or -1.
pid_t Spawn(const std::vector<std::string>& arguments, const fs::path& output_file,
            const fs::path& working_folder, const std::vector<std::string>& environment) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string output = output_file.empty() ? std::string("/dev/null") : output_file.string();
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  const std::string folder = working_folder.string();
  if (!working_folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(),
                                  environment.empty() ? environ : envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : pid;
}

int WaitForExit(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void WriteFile(const fs::path& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string SubjectAltName(const std::vector<std::string>& names) {
  std::string text = "subjectAltName=";
  for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ",DNS:" : "DNS:") + names[i];
  return text;
}

// A new P-256 key (quick to make) with every request.
const std::vector<std::string> kNewKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                                          "-nodes"};

std::vector<std::string> Join(std::vector<std::string> head, const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

}  // namespace

int RunProgram(const std::vector<std::string>& arguments, const fs::path& output_file,
               const std::vector<std::string>& environment) {
  const pid_t pid = Spawn(arguments, output_file, {}, environment);
  return pid < 0 ? -1 : WaitForExit(pid);
}

TestCertificates MakeTestCertificates(const fs::path& folder, const std::vector<std::string>& host_names,
                                      const std::vector<std::string>& self_signed_names) {
  TestCertificates made;
  made.ca_file = folder / "ca.pem";
  made.server_cert = folder / "server.pem";
  made.server_key = folder / "server.key";
  made.self_signed_cert = folder / "self-signed.pem";
  made.self_signed_key = folder / "self-signed.key";
  const fs::path ca_key = folder / "ca.key";
  const fs::path request = folder / "server.csr";
  const fs::path extensions = folder / "server.ext";
  WriteFile(extensions, SubjectAltName(host_names) +
                            "\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n");
  const fs::path log = folder / "openssl.log";

  const std::vector<std::vector<std::string>> commands = {
      Join(Join({"openssl", "req", "-x509"}, kNewKey),
           {"-keyout", ca_key, "-out", made.ca_file, "-days", "2", "-subj", "/CN=Kestrel Test CA"}),
      Join(Join({"openssl", "req", "-new"}, kNewKey),
           {"-keyout", made.server_key, "-out", request, "-subj", "/CN=" + host_names.front()}),
      {"openssl", "x509", "-req", "-in", request, "-CA", made.ca_file, "-CAkey", ca_key,
       "-CAcreateserial", "-days", "2", "-extfile", extensions, "-out", made.server_cert},
      Join(Join({"openssl", "req", "-x509"}, kNewKey),
           {"-keyout", made.self_signed_key, "-out", made.self_signed_cert, "-days", "2", "-subj",
            "/CN=" + self_signed_names.front(), "-addext", SubjectAltName(self_signed_names)}),
  };
  for (const auto& command : commands) {
    if (RunProgram(command, log) != 0) {
      made.error = "openssl " + command[1] + " failed: " + ReadWholeFile(log);
      break;
    }
  }
  return made;
}

FixtureTlsServer::FixtureTlsServer(const fs::path& folder, const fs::path& cert, const fs::path& key)
    : documents_(folder / "documents") {
  fs::create_directories(documents_);
  const fs::path log = folder / "s_server.log";
  pid_ = Spawn({"openssl", "s_server", "-HTTP", "-accept", "127.0.0.1:0", "-cert", cert, "-key", key},
               log, documents_, {});
  if (pid_ < 0) return;
  // s_server announces "ACCEPT 127.0.0.1:<port>" once it listens.
  const std::string marker = "ACCEPT 127.0.0.1:";
  for (int attempt = 0; attempt < 200 && port_ == 0; ++attempt) {
    startup_log_ = ReadWholeFile(log);
    const std::size_t at = startup_log_.find(marker);
    if (at != std::string::npos && startup_log_.find('\n', at) != std::string::npos) {
      port_ = static_cast<std::uint16_t>(std::stoi(startup_log_.substr(at + marker.size())));
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  }
}

FixtureTlsServer::~FixtureTlsServer() {
  if (pid_ < 0) return;
  kill(pid_, SIGTERM);
  WaitForExit(pid_);
}

void FixtureTlsServer::Serve(const std::string& name, const std::string& response) const {
  WriteFile(documents_ / name, response);
}

}  // namespace kestrel::test
