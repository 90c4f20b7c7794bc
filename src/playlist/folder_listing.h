#pragma once

#include <functional>
#include <string>
#include <string_view>

// The one place the playlist reads folders from the system, quickly: a folder scan of a large
// music collection must keep pace with `find`.
namespace kestrel {

enum class FolderEntryKind { kFile, kFolder, kLink, kOther };

// Calls `visit` with the name and kind of each entry of `folder` except "." and "..", in the
// order the system gives them. Links are reported as links, not followed. False when the folder
// cannot be read.
bool ListFolder(const std::string& folder,
                const std::function<void(std::string_view name, FolderEntryKind kind)>& visit);

}  // namespace kestrel
