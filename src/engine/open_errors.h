#pragma once

#include <string>
#include <string_view>

// The texts that explain why an item could not be opened, built from the audio layer's error
// code (audio::LastError() after the failed attempt). All of them are translated.
namespace kestrel {

// The reason for a local file, e.g. "Unsupported file format." for code 41.
std::string FileErrorReason(int error_code);
// The reason for an internet address, e.g. "Could not connect to URL." for code 2.
std::string UrlErrorReason(int error_code);

// "Cannot play file:\n<file name>\n\n<reason>".
std::string FileErrorMessage(std::string_view item, int error_code);
// "Cannot play URL:\n<url, cut to 100 UTF-16 units + "...">\n\nError: <reason> (code <n>)".
std::string UrlErrorMessage(std::string_view url, int error_code);

}  // namespace kestrel
