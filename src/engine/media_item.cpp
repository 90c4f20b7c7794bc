#include "engine/media_item.h"

#include <algorithm>
#include <array>

#include "base/utf8.h"

namespace kestrel {
namespace {

constexpr std::array<std::string_view, 15> kVideoExtensions = {
    ".mkv", ".avi", ".mov", ".webm", ".flv", ".ts",   ".m2ts", ".vob",
    ".ogv", ".3gp", ".mpg", ".mpeg", ".m4v", ".divx", ".rmvb"};
constexpr std::string_view kVideoWithAudioFallback = ".rmvb";
constexpr std::array<std::string_view, 4> kMidiExtensions = {".mid", ".midi", ".kar", ".rmi"};

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& list, std::string_view value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

bool IsUrlItem(std::string_view item) {
  return IsSupportedStreamUrl(item) || StartsWithIgnoreCase(item, "ftp://");
}

bool IsSupportedStreamUrl(std::string_view url) {
  return StartsWithIgnoreCase(url, "http://") || StartsWithIgnoreCase(url, "https://");
}

std::string_view FileNameOf(std::string_view item) {
  const std::size_t separator = item.find_last_of("/\\");
  return separator == std::string_view::npos ? item : item.substr(separator + 1);
}

std::string ExtensionOf(std::string_view item) {
  const std::string_view name = FileNameOf(item);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : AsciiLower(name.substr(dot));
}

bool IsVideoExtension(std::string_view extension) { return Contains(kVideoExtensions, extension); }

bool IsVideoOnlyExtension(std::string_view extension) {
  return extension != kVideoWithAudioFallback && IsVideoExtension(extension);
}

bool IsMidiExtension(std::string_view extension) { return Contains(kMidiExtensions, extension); }

bool IsYouTubeAddress(std::string_view url) {
  for (std::string_view marker : {"youtube.com/watch", "youtu.be/", "youtube.com/playlist"}) {
    if (url.find(marker) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace kestrel
