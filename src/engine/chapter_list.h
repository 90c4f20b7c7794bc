#pragma once

#include <string>
#include <vector>

// One chapter mark of the current item: where it starts and what it is called.
namespace kestrel {

struct Chapter {
  double start = 0;   // seconds from the beginning of the item
  std::string title;  // UTF-8; may be empty for chapters handed over without a title

  bool operator==(const Chapter&) const = default;
};

using ChapterList = std::vector<Chapter>;

// Names a chapter that carries no title of its own, from its 1-based number.
using UntitledChapterNamer = std::string (*)(int number);

// "Chapter N" in English, the name parsers give untitled chapters unless told otherwise.
std::string EnglishChapterName(int number);

}  // namespace kestrel
