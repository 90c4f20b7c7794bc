#pragma once

#include <string>
#include <string_view>
#include <vector>

// Reading and writing playlist files on disk.
namespace kestrel {

// The items of an M3U, M3U8 or PLS file (".pls" is read as PLS, any other extension as M3U; a
// path without extension gives nothing). Relative entries resolve against the playlist's own
// folder; an entry written with Windows separators ("Album\song.mp3") that exists only with "/"
// is taken with "/". An entry naming a folder stands for the audio files below it. Entries are
// not checked for existence: a missing file fails when it is played. A file that cannot be read
// gives an empty list.
std::vector<std::string> ReadPlaylistFile(const std::string& path);

// The file's entries resolved against `base_folder` and folders expanded, as above.
std::vector<std::string> ResolvePlaylistEntries(const std::vector<std::string>& entries,
                                                std::string_view base_folder);

// Writes the items as an M3U file: a UTF-8 byte-order mark, "#EXTM3U", then one item per line,
// every line ended by CR LF. The file is written whole beside the old one and renamed over it,
// so a failure leaves the old file as it was; false on any failure. An item holding a line break
// or a NUL byte cannot be written as one line and is left out.
bool WritePlaylistM3u(const std::string& path, const std::vector<std::string>& items);

}  // namespace kestrel
