#pragma once

#include <string>
#include <vector>

class QWidget;

// The commands that fill the playlist from the user's files, folders and clipboard. Each one
// replaces the playlist through ReplacePlaylist, so an empty result leaves the list as it was.
namespace kestrel {

// Open (Ctrl+O): the file picker with the type filter; the chosen files, playlists and (with
// [Playback] LoadFolder and one file) the file's folder become the playlist. Cancel does
// nothing; files that yield nothing say "No audio files found".
void CommandOpenFiles(QWidget* owner);

// Add Folder (Ctrl+Shift+O): the folder picker; the audio files below the folder, sorted by
// path, become the playlist and the count is spoken ("12 files loaded"). A folder without audio
// says "No audio files found" and keeps the playlist.
void CommandAddFolder(QWidget* owner);

// Paste from clipboard (Ctrl+V): the clipboard's files, folders and URLs become the playlist
// ("Pasted 1 item", "5 items pasted"); "No media in clipboard" keeps the playlist.
void CommandPasteFromClipboard();

// The media on the system clipboard (see MediaFromClipboard); empty when there is no clipboard
// or it cannot be read.
std::vector<std::string> ReadClipboardMedia();

// The Open dialog's filters as the picker shows them: the translated label and its patterns,
// "Audio Files (*.mp3 *.mp2 ...)". The last one matches every file.
std::vector<std::string> OpenFileFilters();

}  // namespace kestrel
