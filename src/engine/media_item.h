#pragma once

#include <string>
#include <string_view>

// How the opener tells the kinds of playlist items apart: internet addresses, videos for the
// video engine, MIDI files for the synthesiser, and everything else for the decoder.
namespace kestrel {

// Begins with "http://", "https://" or "ftp://", in any case.
bool IsUrlItem(std::string_view item);
// Begins with "http://" or "https://", in any case: the schemes internet streams support.
bool IsSupportedStreamUrl(std::string_view url);

// The file name: what follows the last "/" or "\", or the whole item when it has neither.
std::string_view FileNameOf(std::string_view item);
// The extension in lower case with its dot (".mkv"), taken from the file name so that a dot in a
// folder name is never mistaken for one; empty when the name has no dot.
std::string ExtensionOf(std::string_view item);

// Extensions (lower case, with the dot) the video engine plays.
bool IsVideoExtension(std::string_view extension);
// The video extensions refused with the missing-engine message when the video engine cannot be
// loaded. ".rmvb" is not one: the audio decoder is given a chance to play its sound.
bool IsVideoOnlyExtension(std::string_view extension);
// ".mid", ".midi", ".kar", ".rmi".
bool IsMidiExtension(std::string_view extension);

// A YouTube watch page, short link or playlist (case as written): the video engine plays these.
bool IsYouTubeAddress(std::string_view url);

}  // namespace kestrel
