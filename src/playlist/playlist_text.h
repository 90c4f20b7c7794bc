#pragma once

#include <string>
#include <string_view>
#include <vector>

// The text of M3U, M3U8 and PLS playlist files, without touching the file system: the entries a
// file's bytes hold and how an entry resolves against the playlist's folder. Outside input: any
// bytes give a result, never a failure.
namespace kestrel {

// The entries of an M3U or M3U8 file, in file order. A UTF-8 byte-order mark is skipped; lines
// end at LF, CR or CR LF and may be of any length. Each line loses its leading blanks and tabs
// and its trailing blanks and tabs; empty lines and lines beginning with "#" (directives such as
// "#EXTM3U" and "#EXTINF") are skipped. A line that is not valid UTF-8 is read as Windows-1252,
// line by line, so one file may mix both. A line holding a NUL byte names no file and is
// skipped.
std::vector<std::string> M3uEntries(std::string_view bytes);

// The entries of a PLS file: the values of File1, File2, ... (up to File1000) of its [playlist]
// section, stopping at the first number that is missing or empty. Section and key names are
// matched without regard to case, the first of several equal keys counts, values lose their
// surrounding blanks and one pair of surrounding quotes. Encodings as for M3U.
std::vector<std::string> PlsEntries(std::string_view bytes);

// Where an entry points: a URL of any scheme ("http://", "mms://", ...), an absolute path and a
// Windows drive path ("C:\...", which fails later to open, as it must on this system) stay as
// they are; anything else is relative to `base_folder` (which ends with "/", or is empty).
std::string ResolvePlaylistEntry(std::string_view entry, std::string_view base_folder);

// True for "scheme://..." where the scheme is a letter followed by letters, digits, "+", "-" or
// ".".
bool HasUrlScheme(std::string_view entry);

}  // namespace kestrel
