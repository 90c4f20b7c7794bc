# The decoders' suites (FFmpeg, FluidSynth, tag blocks), included from this folder's CMakeLists.
kestrel_test(kestrel_audio_decode_tests
  SOURCES
    ffmpeg_fixtures.cpp
    ffmpeg_source_test.cpp
    ffmpeg_tags_test.cpp
    ffmpeg_codec_families_test.cpp
    midi_source_test.cpp
  DEPS kestrel_audio)
