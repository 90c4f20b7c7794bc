// Received bodies turned into text: the result must always be valid UTF-8 without NUL bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "net/body_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = kestrel::BodyToText({reinterpret_cast<const char*>(data), size});
  if (!kestrel::IsValidUtf8(text) || text.find('\0') != std::string::npos) std::abort();
  return 0;
}
