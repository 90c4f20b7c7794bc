#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "speech/process_scan.h"

namespace kestrel {
namespace {

// Reading stops here: the program and its script always lie within the first few arguments.
constexpr std::size_t kMaxReadBytes = 8192;

std::string_view FileNameOf(std::string_view path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The argument at `index` of a NUL-separated command line, or empty.
std::string_view Argument(std::string_view cmdline, std::size_t index) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < index; ++i) {
    std::size_t end = cmdline.find('\0', start);
    if (end == std::string_view::npos) return {};
    start = end + 1;
  }
  if (start >= cmdline.size()) return {};
  std::size_t end = cmdline.find('\0', start);
  return cmdline.substr(start,
                        end == std::string_view::npos ? std::string_view::npos : end - start);
}

bool IsPythonInterpreter(std::string_view program) {
  return FileNameOf(program).starts_with("python");
}

std::string ReadSmallFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string content;
  if (!in) return content;
  content.resize(kMaxReadBytes);
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<std::size_t>(in.gcount()));
  return content;
}

bool IsAllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool ProcessRunsProgram(std::string_view comm, std::string_view cmdline, std::string_view name) {
  if (name.empty()) return false;
  while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\0')) comm.remove_suffix(1);
  if (comm == name) return true;
  std::string_view program = Argument(cmdline, 0);
  if (FileNameOf(program) == name) return true;
  if (!IsPythonInterpreter(program)) return false;
  // The script is the first argument that is not an interpreter option; "-m module" names it too.
  for (std::size_t index = 1;; ++index) {
    std::string_view argument = Argument(cmdline, index);
    if (argument.empty()) return false;
    if (argument == "-c") return false;
    if (argument == "-m") return Argument(cmdline, index + 1) == name;
    if (argument.front() != '-') return FileNameOf(argument) == name;
  }
}

bool IsProgramRunning(std::string_view name, const std::filesystem::path& proc_root) {
  std::error_code ec;
  std::filesystem::directory_iterator entries(proc_root, ec);
  if (ec) return false;
  for (auto it = entries; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) return false;
    const std::filesystem::path& folder = it->path();
    if (!IsAllDigits(folder.filename().string())) continue;
    if (ProcessRunsProgram(ReadSmallFile(folder / "comm"), ReadSmallFile(folder / "cmdline"),
                           name)) {
      return true;
    }
  }
  return false;
}

}  // namespace kestrel
