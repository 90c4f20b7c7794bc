#include "storage/ytdlp_location.h"

#include <cstdlib>

#include "base/app_paths.h"
#include "storage/file_io.h"

namespace kestrel {

YtDlpPlaces YtDlpPlacesOfThisProcess() {
  YtDlpPlaces places;
  places.own_copy = UserBaseFolder(UserFolder::Data) / "Kestrel" / ProgramFileName("yt-dlp");
  places.program_folder = ExecutableDir();
  if (const char* path = std::getenv("PATH")) places.search_path = path;
  return places;
}

std::filesystem::path LocateYtDlp(const YtDlpPlaces& places) {
  const std::string program = ProgramFileName("yt-dlp");
  for (const std::filesystem::path& candidate :
       {places.own_copy,
        places.program_folder.empty() ? std::filesystem::path() : places.program_folder / "lib" / program,
        places.program_folder.empty() ? std::filesystem::path() : places.program_folder / program}) {
    if (IsRunnableFile(candidate)) return candidate;
  }
  return FindProgramOnSearchPath(program, places.search_path);
}

}  // namespace kestrel
