#include "speech/speech_text.h"

namespace kestrel {

std::string ToSingleLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

}  // namespace kestrel
