# The tempo stream, tested through the Source interface over generated input.
kestrel_test(kestrel_audio_tempo_tests
  SOURCES tempo_source_test.cpp
  DEPS kestrel_audio)
