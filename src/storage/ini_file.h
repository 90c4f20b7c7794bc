#pragma once

#include <filesystem>
#include <functional>

#include "storage/ini_document.h"

// INI files on disk: reading one whole, and changing some of its keys without wiping the keys
// that another running copy of the program wrote in the meantime.
namespace kestrel {

// The file as a document; an empty document when the file is missing or unreadable (so missing
// keys take their defaults). `readable` (when given) tells the two cases apart.
IniDocument ReadIniFile(const std::filesystem::path& file, bool* readable = nullptr);

// Takes the exclusive lock <file>.lock, re-reads the file, lets `change` edit it and writes it
// back atomically. False when the lock cannot be had, when an existing file cannot be read (it
// is then left alone rather than replaced by a document that lost its other keys) or when the
// write fails. A change that leaves the bytes as they were writes nothing.
bool UpdateIniFile(const std::filesystem::path& file,
                   const std::function<void(IniDocument&)>& change);

}  // namespace kestrel
