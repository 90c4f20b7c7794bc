// Feeds arbitrary bytes to the INI reader as a settings file, then writes a key the way a save
// does and checks that nothing else changed and that the key reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "storage/ini_document.h"
#include "storage/ini_values.h"

namespace {

using kestrel::IniDocument;

constexpr const char* kSections[] = {"Playback", "General", "Advanced", "Preset_A"};
constexpr const char* kKeys[] = {"Shuffle", "Language", "Volume", "Pitch"};

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string_view Slice(std::string_view bytes, std::size_t from, std::size_t length) {
  return from < bytes.size() ? bytes.substr(from, length) : std::string_view();
}

// A value of the input's own bytes that an INI line can hold.
std::string LineSafe(std::string_view bytes) {
  std::string value;
  for (char ch : bytes.substr(0, 64)) {
    if (ch != '\n' && ch != '\r' && ch != '\0') value += ch;
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  IniDocument document = IniDocument::Parse(input);

  // What we write parses back to the same bytes.
  const std::string serialized = document.Serialize();
  Check(IniDocument::Parse(serialized).Serialize() == serialized);

  // Read the known keys as the settings loader would.
  std::optional<std::string> before[4][4];
  for (int s = 0; s < 4; ++s) {
    for (int k = 0; k < 4; ++k) {
      before[s][k] = document.Find(kSections[s], kKeys[k]);
      if (before[s][k]) {
        (void)kestrel::ParseLeadingInt(*before[s][k]);
        (void)kestrel::ParseLeadingFraction(*before[s][k]);
        (void)kestrel::CutToCharacters(*before[s][k], 7);
      }
    }
  }

  // Set one of them to a value taken from the input.
  const int section = static_cast<int>(size % 4);
  const int key = static_cast<int>((size / 4) % 4);
  const std::string value = LineSafe(Slice(input, size / 2, std::string_view::npos));
  Check(document.Set(kSections[section], kKeys[key], value));

  IniDocument reread = IniDocument::Parse(document.Serialize());
  Check(reread.Find(kSections[section], kKeys[key]) == value);
  for (int s = 0; s < 4; ++s) {
    for (int k = 0; k < 4; ++k) {
      if (s != section || k != key) Check(reread.Find(kSections[s], kKeys[k]) == before[s][k]);
    }
  }

  // Names taken from the input: either refused with nothing changed, or read back.
  const std::string odd_section(Slice(input, 0, 16));
  const std::string odd_key(Slice(input, 16, 16));
  const std::string unchanged = reread.Serialize();
  if (reread.Set(odd_section, odd_key, value)) {
    Check(IniDocument::Parse(reread.Serialize()).Find(odd_section, odd_key) == value);
  } else {
    Check(reread.Serialize() == unchanged);
  }

  // Clearing and deleting sections.
  const char* cleared = kSections[(section + 1) % 4];
  reread.ClearSection(cleared);
  Check(!reread.Find(cleared, kKeys[key]));
  reread.DeleteSection(kSections[section]);
  Check(!reread.HasSection(kSections[section]));
  const IniDocument last = IniDocument::Parse(reread.Serialize());
  Check(!last.HasSection(kSections[section]) && !last.Find(cleared, kKeys[key]));
  return 0;
}
