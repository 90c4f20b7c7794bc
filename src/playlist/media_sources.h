#pragma once

#include <string>
#include <string_view>
#include <vector>

// The playlist a user's choice of files or the clipboard's contents stands for. Core code: the
// dialogs and the clipboard reader (Qt) hand their results to these.
namespace kestrel {

// A new playlist and the item to start at.
struct PlaylistChoice {
  std::vector<std::string> items;
  int start_index = 0;
};

// The files chosen in the Open dialog, in the dialog's order. Several files: each playlist file
// stands for its entries, any other file for itself, start at 0. One file: a playlist file
// stands for its entries; otherwise, with `load_folder`, its folder is loaded and playback starts
// at the file; otherwise the file alone. An empty result means nothing could be read (the
// current playlist should stay as it is).
PlaylistChoice ChoiceForOpenedFiles(const std::vector<std::string>& files, bool load_folder);

// The media in the clipboard. `files` is the clipboard's file list: each existing folder stands
// for the audio files below it, each existing file with an audio or video extension for itself.
// Only when that yields nothing is `text` read, line by line (lines end at CR or LF, lose their
// surrounding blanks and tabs): a line beginning with "http://", "https://", "mms://" or
// "rtsp://" (exactly these lower-case schemes) is a URL, an existing folder stands for the audio
// files below it, an existing audio file for itself; anything else is skipped, video files
// included.
std::vector<std::string> MediaFromClipboard(const std::vector<std::string>& files,
                                            std::string_view text);

}  // namespace kestrel
