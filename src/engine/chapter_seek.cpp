#include "engine/chapter_seek.h"

#include <cstddef>
#include <string>

#include "engine/chapter_store.h"
#include "engine/player_state.h"
#include "engine/transport.h"
#include "i18n/translate.h"
#include "speech/speech.h"

namespace kestrel {
namespace {

// A chapter this close after the position is the one just arrived at, not the next one.
constexpr double kNextChapterMargin = 0.5;
// Further than this into a chapter, "previous" restarts it instead of going back one.
constexpr double kRestartChapterAfter = 3.0;

bool CanMoveByChapter() { return HasChapters() && ThePlayerState().output_stream != 0; }

// Seeks to chapter `index` (0-based) and says "Chapter N", with ": title" when it has one.
void GoToChapter(std::size_t index) {
  const Chapter& chapter = CurrentChapters()[index];
  SeekTo(chapter.start);
  std::string text = Translate("Chapter ") + std::to_string(index + 1);
  if (!chapter.title.empty()) text += ": " + chapter.title;
  Speak(text);
}

}  // namespace

void GoToNextChapter() {
  if (!CanMoveByChapter()) return;
  const double position = CurrentPositionSeconds();
  const ChapterList& chapters = CurrentChapters();
  for (std::size_t i = 0; i < chapters.size(); ++i) {
    if (chapters[i].start > position + kNextChapterMargin) {
      GoToChapter(i);
      return;
    }
  }
}

void GoToPreviousChapter() {
  if (!CanMoveByChapter()) return;
  const double position = CurrentPositionSeconds();
  const ChapterList& chapters = CurrentChapters();
  // The chapter playing: the last one, in list order, that starts at or before the position.
  std::size_t current = chapters.size();
  for (std::size_t i = 0; i < chapters.size(); ++i) {
    if (chapters[i].start <= position) current = i;
  }
  if (current == chapters.size()) return;  // before the first chapter

  if (position - chapters[current].start > kRestartChapterAfter) {
    GoToChapter(current);
  } else if (current > 0) {
    GoToChapter(current - 1);
  } else {
    SeekTo(0);
    Speak(Translate("Beginning"));
  }
}

}  // namespace kestrel
