// The settings file as the program loads and saves it: the full key set, foreign content,
// running copies side by side, the effect keys, yt-dlp and the updater's key.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "settings_fixture.h"
#include "storage/ini_file.h"
#include "storage/settings.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using SettingsStore = test::SettingsFileTest;

// A full save of the defaults, checked by hand against the key table: every section in load
// order, every key in its written form.
constexpr const char* kDefaultSave = R"([General]
Language=en

[Playback]
DeviceName=
RewindOnPauseMs=0
AllowAmplify=0
RememberState=0
RememberPosMinutes=0
BringToFront=1
MinimizeToTray=1
LoadFolder=0
RegisterFileTypes=0
VolumeStep=2
ShowTitleInWindow=1
Volume=100
Pitch=0.0
Tempo=0.0
Rate=1.00
Shuffle=0
AutoAdvance=1
RepeatMode=0
PlaylistFollow=1
CheckForUpdates=1
AllowMultipleInstances=0

[Advanced]
BufferSize=500
UpdatePeriod=100
TempoAlgorithm=0
LegacyVolume=0
DisableBatchDelay=0
EQBassFreq=50.0
EQMidFreq=1000.0
EQTrebleFreq=12000.0

[SoundTouch]
AntiAliasFilter=1
AAFilterLength=32
QuickAlgorithm=0
SequenceMs=82
SeekWindowMs=28
OverlapMs=8
PreventClick=0
Algorithm=1

[Speedy]
NonlinearSpeedup=1

[Signalsmith]
Preset=0
TonalityLimit=0

[Effects]
ReverbAlgorithm=0
Volume=1
Pitch=0
Tempo=0
Rate=0
RateStepMode=0
CurrentEffect=0

[Movement]
Seek1s=0
Seek5s=1
Seek10s=0
Seek30s=0
Seek1m=0
Seek5m=0
Seek10m=0
Seek30m=0
Seek1h=0
Seek1t=0
Seek5t=0
Seek10t=0
ChapterSeek=1
CurrentSeek=1

[Speech]
TrackChange=0
Volume=1
Effect=1
YTHybrid=1

[Recording]
Path=
Template=%Y-%m-%d_%H-%M-%S
Format=0
Bitrate=192

[Downloads]
Path=
OrganizeByFeed=0

[MIDI]
SoundFont=
MaxVoices=128
SincInterp=0

[Video]
HardwareDecoding=1
VideoOutput=gpu

[YouTube]
YtdlpPath=
ApiKey=
VideoMode=0
ClearCacheOnExit=0
CacheLimitMB=0

[DSPEffects]
Reverb=0
Echo=0
EQ=0
Compressor=0
StereoWidth=0
CenterCancel=0
Convolution=0
SpatialAudio=0
ConvolutionIR=

[DSPParams]
ReverbMix=30.00
ReverbRoom=50.00
ReverbDamp=50.00
DX8ReverbTime=1000.00
DX8ReverbHFRatio=0.500
DX8ReverbMix=-10.00
I3DL2Room=-1000.00
I3DL2DecayTime=1.49
I3DL2Diffusion=100.00
I3DL2Density=100.00
EchoDelay=300.00
EchoFeedback=40.00
EchoMix=30.00
EQPreamp=0.00
EQBass=0.00
EQMid=0.00
EQTreble=0.00
CompThreshold=-20.00
CompRatio=4.00
CompAttack=20.00
CompRelease=200.00
CompGain=0.00
StereoWidth=100.00
CenterCancel=0.00
ConvolutionMix=50.00
ConvolutionGain=0.00
SpatialBlend=100.00
SpatialWidth=45.00
SpatialRotation=0.00
SpatialMode=0.00
SpatialRearCenter=1.00
SpatialX=0.00
SpatialY=0.00
SpatialZ=0.00
)";

TEST_F(SettingsStore, AFullSaveOfTheDefaults) {
  LoadSettings();
  LoadEffectSettings();
  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(Saved(), kDefaultSave);
  // Saving again changes nothing.
  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(Saved(), kDefaultSave);
}

TEST_F(SettingsStore, ASaveKeepsForeignLinesCommentsAndOtherSections) {
  const std::string foreign =
      "; Kestrel settings, edited by hand\r\n"
      "[Hotkeys]\r\nEnabled=0\r\nCount=1\r\nHotkey0=6,80,0\r\n\r\n"
      "[Playback]\r\n# my volume\r\nVolume=80\r\nMyOwnKey=keep me\r\n\r\n"
      "[Presets]\r\nCount=1\r\nName0=Talk\r\n\r\n[Preset_Talk]\r\nPitch=1.0000\r\n\r\n"
      "[State]\r\nTrackCount=1\r\nLastFile=/music/a.mp3\r\n[Playlist]\r\nTrack0=/music/a.mp3\r\n"
      "[YouTube]\r\nYtdlpVersion=2024.01.01\r\n"
      "[Unknown Section]\r\nanything = at all\r\n";
  Write(foreign);
  LoadSettings();
  LoadEffectSettings();
  TheSettings().playback_volume = 0.5f;
  TheSettings().recent_files = {"/music/b.mp3"};
  ASSERT_TRUE(SaveSettings());

  const std::string saved = Saved();
  for (const char* line :
       {"; Kestrel settings, edited by hand\r\n[Hotkeys]\r\nEnabled=0\r\nCount=1\r\nHotkey0=6,80,0\r\n",
        "[Playback]\r\n# my volume\r\nVolume=50\r\nMyOwnKey=keep me\r\nDeviceName=\r\n",
        "[Presets]\r\nCount=1\r\nName0=Talk\r\n\r\n[Preset_Talk]\r\nPitch=1.0000\r\n",
        "[State]\r\nTrackCount=1\r\nLastFile=/music/a.mp3\r\n[Playlist]\r\nTrack0=/music/a.mp3\r\n",
        "[YouTube]\r\nYtdlpVersion=2024.01.01\r\nYtdlpPath=\r\n",
        "[Unknown Section]\r\nanything = at all\r\n", "[RecentFiles]\r\nFile0=/music/b.mp3\r\n"}) {
    EXPECT_NE(saved.find(line), std::string::npos) << line << "\nin:\n" << saved;
  }
  EXPECT_EQ(saved.find("\n\n"), std::string::npos) << "a CRLF file stays CRLF";
}

TEST_F(SettingsStore, EffectKeysAndRecentFilesWaitForTheirLoad) {
  Write("[DSPParams]\nEchoDelay=500\n[DSPEffects]\nEcho=1\n[RecentFiles]\nFile0=/music/a.mp3\n");
  LoadSettings();
  ASSERT_TRUE(SaveSettings());  // e.g. shuffle toggled before the main window exists
  IniDocument saved = SavedDocument();
  EXPECT_EQ(saved.Find("DSPParams", "EchoDelay"), "500");
  EXPECT_EQ(saved.Find("DSPEffects", "Echo"), "1");
  EXPECT_EQ(saved.Find("RecentFiles", "File0"), "/music/a.mp3");
  EXPECT_FALSE(saved.Find("DSPParams", "EchoMix"));

  LoadEffectSettings();
  EXPECT_FLOAT_EQ(TheSettings().effect_values[14], 500.0f);
  EXPECT_TRUE(TheSettings().dsp_echo);
  EXPECT_EQ(TheSettings().recent_files, std::vector<std::string>{"/music/a.mp3"});
  TheSettings().effect_values[16] = 45.0f;
  TheSettings().recent_files.insert(TheSettings().recent_files.begin(), "/music/b.mp3");
  ASSERT_TRUE(SaveSettings());
  saved = SavedDocument();
  EXPECT_EQ(saved.Find("DSPParams", "EchoDelay"), "500.00");
  EXPECT_EQ(saved.Find("DSPParams", "EchoMix"), "45.00");
  EXPECT_EQ(saved.Find("RecentFiles", "File0"), "/music/b.mp3");
  EXPECT_EQ(saved.Find("RecentFiles", "File1"), "/music/a.mp3");
}

TEST_F(SettingsStore, LoadingTheEffectSettingsReadsTheRecentListWithinItsLimits) {
  Write(
      "[RecentFiles]\nFile0=/m/0.mp3\nFile2=\nfile3=/m/3.mp3\nFile03=/m/03.mp3\nFile9=/m/9.mp3\n"
      "File10=/m/10.mp3\nFile1=/m/1.mp3\nFile1=/m/dup.mp3\n");
  LoadEffectSettings();
  EXPECT_EQ(TheSettings().recent_files,
            (std::vector<std::string>{"/m/0.mp3", "/m/1.mp3", "/m/3.mp3", "/m/9.mp3"}));
}

TEST_F(SettingsStore, ACopyThatNeverLoadedOnlyWritesWhatItChanged) {
  Write("[Playback]\nVolume=30\nShuffle=0\n");
  TheSettings().shuffle = true;
  ASSERT_TRUE(SaveSettings());
  IniDocument saved = SavedDocument();
  EXPECT_EQ(saved.Find("Playback", "Volume"), "30");
  EXPECT_EQ(saved.Find("Playback", "Shuffle"), "1");
  EXPECT_EQ(saved.Find("Playback", "BringToFront"), "1");  // missing keys are filled in
  EXPECT_FALSE(saved.HasSection("DSPParams"));

  TheSettings().shuffle = false;  // and a change back is written too
  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(SavedDocument().Find("Playback", "Shuffle"), "0");
}

TEST_F(SettingsStore, TheRecentListOfAnotherCopyIsKeptUnlessThisOneChangedIt) {
  Write("[RecentFiles]\nFile0=/m/a.mp3\n");
  LoadSettings();
  LoadEffectSettings();
  ASSERT_TRUE(UpdateIniFile(SettingsFilePath(), [](IniDocument& d) {
    d.Set("RecentFiles", "File0", "/m/other.mp3");
    d.Set("RecentFiles", "File1", "/m/a.mp3");
  }));
  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(SavedDocument().Find("RecentFiles", "File0"), "/m/other.mp3");

  TheSettings().recent_files = {"/m/mine.mp3", "/m/a.mp3"};
  ASSERT_TRUE(SaveSettings());
  const IniDocument saved = SavedDocument();
  EXPECT_EQ(saved.Find("RecentFiles", "File0"), "/m/mine.mp3");
  EXPECT_EQ(saved.Find("RecentFiles", "File1"), "/m/a.mp3");
}

// Two real processes, each loading the same file, changing a different key and saving; they are
// let go together so the file lock decides the order.
TEST_F(SettingsStore, TwoProcessesSavingDifferentKeysBothKeepTheirs) {
  Write("[Playback]\nShuffle=0\nRepeatMode=0\n[DSPParams]\nEchoDelay=300\n");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);

  struct Child {
    pid_t pid;
    int go;
  };
  const auto start = [&](const std::function<void(Settings&)>& change) {
    int go[2];
    EXPECT_EQ(pipe(go), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      ::close(go[1]);
      ResetSettingsStoreForTesting();
      TheSettings() = Settings{};
      LoadSettings();
      LoadEffectSettings();
      char byte = 'L';
      if (::write(ready[1], &byte, 1) != 1 || ::read(go[0], &byte, 1) != 1) _exit(3);
      change(TheSettings());
      _exit(SaveSettings() ? 0 : 1);
    }
    ::close(go[0]);
    return Child{pid, go[1]};
  };

  const Child first = start([](Settings& s) {
    s.shuffle = true;
    s.effect_values[14] = 700.0f;
  });
  const Child second = start([](Settings& s) {
    s.repeat_mode = 2;
    s.recent_files = {"/music/b.mp3"};
  });
  ASSERT_GT(first.pid, 0);
  ASSERT_GT(second.pid, 0);
  char byte;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);  // both have loaded
  ASSERT_EQ(::write(first.go, "g", 1), 1);
  ASSERT_EQ(::write(second.go, "g", 1), 1);
  for (const Child& child : {first, second}) {
    int status = 0;
    ASSERT_EQ(waitpid(child.pid, &status, 0), child.pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ::close(child.go);
  }
  ::close(ready[0]);
  ::close(ready[1]);

  const IniDocument saved = SavedDocument();
  EXPECT_EQ(saved.Find("Playback", "Shuffle"), "1");
  EXPECT_EQ(saved.Find("Playback", "RepeatMode"), "2");
  EXPECT_EQ(saved.Find("DSPParams", "EchoDelay"), "700.00");
  EXPECT_EQ(saved.Find("RecentFiles", "File0"), "/music/b.mp3");
}

TEST_F(SettingsStore, YtDlpIsLocatedAfreshAndThePathInUseIsSaved) {
  const auto runnable = [&](const std::string& relative) {
    const fs::path file = folder_.Write(relative, "#!/bin/sh\n");
    fs::permissions(file, fs::perms::owner_all);
    return file;
  };
  Write("[YouTube]\nYtdlpPath=/somewhere/old/yt-dlp\n");
  LoadSettings();
  EXPECT_EQ(TheSettings().ytdlp_path, "") << "nothing to find";

  const fs::path on_path = runnable("bin/yt-dlp");
  LoadSettings();
  EXPECT_EQ(TheSettings().ytdlp_path, on_path.string());

  const fs::path own_copy = runnable("data/Kestrel/yt-dlp");
  LoadSettings();
  EXPECT_EQ(TheSettings().ytdlp_path, own_copy.string());
  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(SavedDocument().Find("YouTube", "YtdlpPath"), own_copy.string());
}

TEST_F(SettingsStore, TheUpdatersVersionKeyIsKeptApart) {
  EXPECT_EQ(ReadYtdlpVersion(), "");
  ASSERT_TRUE(WriteYtdlpVersion("2024.12.06"));
  EXPECT_EQ(ReadYtdlpVersion(), "2024.12.06");

  LoadSettings();
  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(ReadYtdlpVersion(), "2024.12.06");

  ASSERT_TRUE(WriteYtdlpVersion(std::string(70, 'v')));
  EXPECT_EQ(ReadYtdlpVersion(), std::string(63, 'v'));
  EXPECT_FALSE(WriteYtdlpVersion("two\nlines"));
}

TEST_F(SettingsStore, AValueThatCannotBeWrittenIsReportedAndTheRestIsSaved) {
  LoadSettings();
  TheSettings().device_name = "Speakers\nInjected=1";
  TheSettings().shuffle = true;
  EXPECT_FALSE(SaveSettings());
  const IniDocument saved = SavedDocument();
  EXPECT_EQ(saved.Find("Playback", "Shuffle"), "1");
  EXPECT_FALSE(saved.Find("Playback", "Injected"));
  EXPECT_FALSE(saved.Find("Playback", "DeviceName"));
}

}  // namespace
}  // namespace kestrel
