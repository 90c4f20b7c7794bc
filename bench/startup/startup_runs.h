#pragma once

#include <filesystem>
#include <string>

// One start of each program, timed from just before posix_spawn to its first non-silent sample
// handed to its audio output, both on CLOCK_MONOTONIC. Each start gets a fresh home, KESTREL_HOME
// and XDG folders in a new temp folder (no settings, no session to restore, no other player's
// socket), removed afterwards.
namespace kestrel::bench {

struct StartupRun {
  bool ok = false;
  double first_audio_ms = 0;
  std::string failure;  // why it did not run, with the tail of the program's own output
};

// `kestrel FILE` with KESTREL_AUDIO=null, QT_QPA_PLATFORM=offscreen, KESTREL_SPEECH=file:/dev/null
// and KESTREL_MARK_FIRST_AUDIO naming a file in the temp folder: the null device writes the
// time of its first non-silent mix there. Ended with SIGTERM once the mark is read.
StartupRun StartKestrel(const std::filesystem::path& kestrel, const std::filesystem::path& file);

// `mpv --no-config --no-terminal --no-video --ao=pcm --ao-pcm-waveheader=no
// --ao-pcm-file=FIFO FILE`, the FIFO made and held open by this process: the moment the first
// non-zero byte can be read from it is mpv's first non-silent sample handed to its audio output.
// Ended with SIGTERM once that byte is read.
StartupRun StartMpv(const std::filesystem::path& file);

}  // namespace kestrel::bench
