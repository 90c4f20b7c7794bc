#include "engine/tag_id3v1.h"

#include <array>

#include "engine/tag_text.h"

namespace kestrel::id3v1 {
namespace {

// The genres of the ID3v1 standard, spelled as it spells them.
constexpr std::array<std::string_view, 80> kGenres = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk",
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave",
    "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy",
    "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American",
    "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
    "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
};

std::string Field(std::string_view block, std::size_t offset, std::size_t size) {
  std::string_view bytes = block.substr(offset, size);
  bytes = bytes.substr(0, bytes.find('\0'));
  return tag_text::Utf8OrWindows1252(tag_text::TrimTrailingBlanks(bytes));
}

}  // namespace

std::optional<Fields> Parse(std::string_view block) {
  if (block.size() < kBlockSize || block.substr(0, 3) != "TAG") return std::nullopt;
  Fields fields;
  fields.title = Field(block, 3, 30);
  fields.artist = Field(block, 33, 30);
  fields.album = Field(block, 63, 30);
  fields.year = Field(block, 93, 4);
  const bool has_track = block[125] == '\0' && block[126] != '\0';
  fields.comment = Field(block, 97, has_track ? 28 : 30);
  if (has_track) fields.track = static_cast<unsigned char>(block[126]);
  fields.genre = static_cast<unsigned char>(block[127]);
  return fields;
}

std::string_view GenreName(int index) {
  if (index < 0 || index >= static_cast<int>(kGenres.size())) return {};
  return kGenres[static_cast<std::size_t>(index)];
}

}  // namespace kestrel::id3v1
