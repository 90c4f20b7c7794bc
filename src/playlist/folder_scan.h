#pragma once

#include <string>
#include <vector>

// Turning folders into playlist items. Folder contents come back in no particular order from the
// system, so every list made here is sorted by full path, byte by byte (the order of the code
// points: upper-case letters sort before lower-case ones). Symbolic links met while walking a
// tree are neither followed nor taken, so a link loop cannot recurse.
namespace kestrel {

// Appends every regular file below `folder` whose extension is a folder-scan extension, as
// folder + "/" + name, sorted by full path. Sub-folders more than 32 levels below `folder` are
// not entered. A folder that cannot be read adds nothing.
void AddFolderTree(const std::string& folder, std::vector<std::string>& list);

// What opening one file loads when the whole folder is wanted: `list` becomes the audio files of
// the file's folder (no sub-folders), sorted by name, and the result is the position of the
// opened file in it (its name compared exactly, letter case included). A relative path is made
// absolute first. The list is just [file] at position 0 when the file's own type is not one a
// folder scan takes (a video, say: the user asked for that file), when the folder cannot be read
// or when the file is not found in it.
int LoadFolderOf(const std::string& file, std::vector<std::string>& list);

}  // namespace kestrel
