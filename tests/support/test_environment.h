#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::test {

// Points HOME, the XDG folders, KESTREL_HOME and the speech capture into a temporary folder for
// this test process, and selects the offscreen platform and the null audio device.
void PrepareTestEnvironment();

// The folder PrepareTestEnvironment made.
const std::filesystem::path& TestRoot();

// Where KESTREL_SPEECH sends every utterance, one per line.
std::filesystem::path SpeechCaptureFile();
// The utterances captured since the last call (and forgets them).
std::vector<std::string> TakeSpokenLines();

}  // namespace kestrel::test
