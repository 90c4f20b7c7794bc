#include "playlist/media_extensions.h"

#include <algorithm>
#include <array>

#include "base/utf8.h"

namespace kestrel {
namespace {

constexpr std::array<std::string_view, 17> kFolderScan = {
    ".mp3", ".wav", ".ogg", ".oga", ".flac", ".m4a", ".m4b", ".wma", ".aac",
    ".opus", ".aiff", ".ape", ".wv", ".mid", ".midi", ".dff", ".dsf"};

constexpr std::array<std::string_view, 17> kVideoDrop = {
    ".mp4", ".mkv", ".avi", ".mov", ".webm", ".wmv", ".flv", ".ts", ".m2ts",
    ".vob", ".ogv", ".3gp", ".mpg", ".mpeg", ".m4v", ".divx", ".rmvb"};

constexpr std::array<std::string_view, 49> kSupported = {
    ".mp3", ".mp2", ".mp1", ".wav", ".ogg", ".oga", ".aiff", ".aif", ".flac", ".aac",
    ".m4a", ".m4b", ".m4r", ".mp4", ".wma", ".wmv", ".opus", ".wv", ".ape", ".alac",
    ".mid", ".midi", ".rmi", ".kar", ".dff", ".dsf", ".cda", ".mod", ".s3m", ".xm",
    ".it", ".mtm", ".umx", ".m3u", ".m3u8", ".pls", ".mkv", ".avi", ".mov", ".webm",
    ".flv", ".ts", ".m2ts", ".vob", ".ogv", ".3gp", ".mpg", ".mpeg", ".m4v"};

constexpr std::array<OpenFilterRow, 5> kOpenFilter = {{
    {"All Supported",
     "*.mp3;*.mp2;*.mp1;*.wav;*.ogg;*.oga;*.flac;*.m4a;*.m4b;*.m4r;*.mp4;*.wma;*.wmv;*.aac;"
     "*.opus;*.aiff;*.aif;*.ape;*.wv;*.alac;*.mid;*.midi;*.rmi;*.kar;*.dff;*.dsf;*.cda;*.mod;"
     "*.s3m;*.xm;*.it;*.mtm;*.umx;*.mkv;*.avi;*.mov;*.webm;*.flv;*.ts;*.m2ts;*.vob;*.ogv;*.3gp;"
     "*.mpg;*.mpeg;*.m4v;*.divx;*.rmvb;*.m3u;*.m3u8;*.pls"},
    {"Audio Files",
     "*.mp3;*.mp2;*.mp1;*.wav;*.ogg;*.oga;*.flac;*.m4a;*.m4b;*.m4r;*.mp4;*.wma;*.aac;*.opus;"
     "*.aiff;*.aif;*.ape;*.wv;*.alac;*.mid;*.midi;*.rmi;*.kar;*.dff;*.dsf;*.cda;*.mod;*.s3m;*.xm;"
     "*.it;*.mtm;*.umx"},
    {"Video Files",
     "*.mp4;*.mkv;*.avi;*.mov;*.webm;*.wmv;*.flv;*.ts;*.m2ts;*.vob;*.ogv;*.3gp;*.mpg;*.mpeg;"
     "*.m4v;*.divx;*.rmvb"},
    {"Playlists", "*.m3u;*.m3u8;*.pls"},
    {"All Files (*.*)", "*.*"},
}};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& table, std::string_view value) {
  return std::find(table.begin(), table.end(), value) != table.end();
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::span<const std::string_view> FolderScanExtensions() { return kFolderScan; }
std::span<const std::string_view> VideoDropExtensions() { return kVideoDrop; }
std::span<const std::string_view> SupportedFileTypes() { return kSupported; }
std::span<const OpenFilterRow> OpenFilterRows() { return kOpenFilter; }

std::string LowerExtensionOf(std::string_view item) {
  const std::size_t separator = item.find_last_of('/');
  const std::string_view name =
      separator == std::string_view::npos ? item : item.substr(separator + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : AsciiLower(name.substr(dot));
}

bool IsFolderScanExtension(std::string_view lower_extension) {
  return Contains(kFolderScan, lower_extension);
}

bool IsVideoDropExtension(std::string_view lower_extension) {
  return Contains(kVideoDrop, lower_extension);
}

bool IsUrl(std::string_view item) {
  return StartsWithIgnoreCase(item, "http://") || StartsWithIgnoreCase(item, "https://") ||
         StartsWithIgnoreCase(item, "ftp://");
}

bool IsPlaylistFile(std::string_view path) {
  const std::string extension = LowerExtensionOf(path);
  return extension == ".m3u" || extension == ".m3u8" || extension == ".pls";
}

}  // namespace kestrel
