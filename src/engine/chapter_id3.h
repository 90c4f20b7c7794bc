#pragma once

#include <string_view>

#include "engine/chapter_list.h"

// Chapters stored as ID3v2 "CHAP" frames (versions 2.3 and 2.4), read straight from the tag's
// bytes. A small reader of its own: it needs only the frame walk and the title frame.
namespace kestrel {

// Reads the chapters of a whole ID3v2 tag, header included. Each CHAP frame gives a start (its
// start time in milliseconds) and the text of its first embedded TIT2 frame; an untitled
// chapter is named by `name_untitled` with its position among the frames found (1-based). The
// list comes out sorted by start, whatever order the frames were stored in. Every size is
// checked against the bytes that hold it: damaged data gives fewer chapters or none.
ChapterList ParseId3v2Chapters(std::string_view tag,
                               UntitledChapterNamer name_untitled = EnglishChapterName);

}  // namespace kestrel
