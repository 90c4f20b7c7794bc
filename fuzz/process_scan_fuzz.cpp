// Process entries of other users' programs are outside input: feeds arbitrary comm and cmdline
// bytes to the matcher that decides whether a screen reader runs.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "speech/process_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first line is the short name, the rest the NUL-separated command line.
  std::size_t newline = input.find('\n');
  std::string_view comm = input.substr(0, newline);
  std::string_view cmdline =
      newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
  for (std::string_view name : {"orca", "fenrir", "", "-m"}) {
    kestrel::ProcessRunsProgram(comm, cmdline, name);
  }
  return 0;
}
