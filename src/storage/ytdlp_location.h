#pragma once

#include <filesystem>
#include <string>

// Where the yt-dlp program is found at start: the copy the updater keeps in the user's data
// folder wins, then one in the program's lib folder, then one beside the program, then the first
// on the search path.
namespace kestrel {

struct YtDlpPlaces {
  std::filesystem::path own_copy;  // the updater's copy
  std::filesystem::path program_folder;
  std::string search_path;  // the PATH variable
};

// The places of this process: <data folder>/Kestrel/yt-dlp, the executable's folder, $PATH.
YtDlpPlaces YtDlpPlacesOfThisProcess();

// The first runnable yt-dlp among the places, in the order above; empty when there is none.
std::filesystem::path LocateYtDlp(const YtDlpPlaces& places);

}  // namespace kestrel
