#pragma once

#include <optional>
#include <string_view>

#include "engine/chapter_list.h"

// Chapters written as Vorbis comments (Ogg, Opus, FLAC): CHAPTERnnn=time and CHAPTERnnnNAME=name.
namespace kestrel {

// A chapter time: h:m:s.fff, m:s.fff or s.fff (leading spaces allowed, anything after the number
// ignored). Empty when none of the three forms reads; never negative or infinite.
std::optional<double> ParseChapterTime(std::string_view text);

// Reads the chapters of a comment list ("KEY=value" entries, each NUL-terminated, an empty one
// ends the list). nnn is one or more digits after the word CHAPTER (any case) and must be above
// 0; chapters come out in ascending nnn, keeping those that start after 0 and chapter 1. A time
// that does not read counts as 0. Untitled chapters are named by `name_untitled(nnn)`.
ChapterList ParseVorbisChapters(std::string_view comments,
                                UntitledChapterNamer name_untitled = EnglishChapterName);

}  // namespace kestrel
