#pragma once

#include <span>
#include <string>
#include <string_view>

// Which files the player takes as media: the three extension lists and the Open dialog's filter.
// Extensions are lower case with their dot; a file's extension is compared in lower case, so
// "Song.MP3" counts as ".mp3".
namespace kestrel {

// The audio files a folder scan, a single folder load and pasted text take (17 rows).
std::span<const std::string_view> FolderScanExtensions();
// The video files a pasted file list takes in addition (17 rows).
std::span<const std::string_view> VideoDropExtensions();
// Every type the player registers itself for with the desktop, in registration order (49 rows).
std::span<const std::string_view> SupportedFileTypes();

// One choice of the Open dialog's type filter: its label (a text to translate) and its patterns
// separated by ";".
struct OpenFilterRow {
  std::string_view label;
  std::string_view patterns;
};
// The five choices in the order shown; the first is preselected.
std::span<const OpenFilterRow> OpenFilterRows();

// The extension of the item's file name in lower case with its dot; empty when the name has
// none. A dot in a folder name is never taken for one.
std::string LowerExtensionOf(std::string_view item);
bool IsFolderScanExtension(std::string_view lower_extension);
bool IsVideoDropExtension(std::string_view lower_extension);

// Begins with "http://", "https://" or "ftp://", in any letter case.
bool IsUrl(std::string_view item);
// ".m3u", ".m3u8" or ".pls".
bool IsPlaylistFile(std::string_view path);

}  // namespace kestrel
