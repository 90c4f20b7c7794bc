#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "audio/attributes.h"

// A source of decoded audio, as the audio layer pulls it: interleaved 32-bit float frames at the
// source's own rate. Each kind of input (a file through FFmpeg, a MIDI file through FluidSynth,
// an internet stream, a user callback, a stretcher over another source) is one implementation;
// the layer's core never knows a format.
namespace kestrel::audio {

struct SourceFormat {
  int sample_rate = 0;  // Hz
  int channels = 0;
};

// Raw tag blocks, in the byte layouts the tag readers parse.
enum class TagBlock {
  kId3v1,     // the 128-byte ID3v1 block at the end of a file
  kId3v2,     // the whole ID3v2 tag, header included
  kVorbis,    // Vorbis comments: "KEY=value" entries, each NUL-terminated, an empty one ends the list
  kHttp,      // HTTP response headers, each NUL-terminated, an empty one ends the list
  kIcy,       // ICY response headers, same layout
  kMeta,      // the last ICY metadata block, e.g. "StreamTitle='...';"
  kApe,       // APEv2 items as "KEY=value", NUL-terminated, an empty one ends the list
  kMp4,       // MP4 metadata as "KEY=value", NUL-terminated, an empty one ends the list
  kWma,       // ASF/WMA attributes as "KEY=value", NUL-terminated, an empty one ends the list
  kMediaFoundation,  // as kMp4, for formats the original read through another decoder
  kRiffInfo,  // the RIFF "LIST"/"INFO" chunk's items as "KEY=value", NUL-terminated list
};

class Source {
 public:
  virtual ~Source() = default;

  virtual SourceFormat Format() const = 0;

  // Reads up to `frames` frames into `out` (frames × channels floats). Returns the frames read,
  // 0 at the end of the source, or -1 on a failure (the last error says which). A live source
  // with nothing to give yet returns -1 with kErrorNotAvailable: its channel stalls and asks
  // again later instead of ending.
  virtual std::int64_t Read(float* out, std::int64_t frames) = 0;

  // Moves so that the next Read starts exactly at this frame of the source. False (with an
  // error) when the source cannot seek there.
  virtual bool Seek(std::int64_t frame) = 0;

  // Length in frames of the source's own time; -1 when unknown (a live stream).
  virtual std::int64_t LengthFrames() const = 0;

  // The source time, in seconds, of the next frame Read will return. For a decoder this is its
  // read position; a stretcher reports the time of the source material it is about to play.
  virtual double NextFrameSeconds() const = 0;

  // A raw tag block, or nothing when the source has none of that kind.
  virtual std::optional<std::string> Tags(TagBlock) const { return std::nullopt; }

  // Average bitrate in kilobits per second; 0 when unknown.
  virtual double BitrateKbps() const { return 0; }

  // Short name of what decodes this source ("FLAC", "MP3", "MIDI"...), for reports.
  virtual std::string CodecName() const { return {}; }

  // Attributes the source itself implements (a stretcher's tempo, a stream's buffer fill).
  // False with kErrorIllegalType for one it does not know. SetAttribute is called on the
  // user-interface thread while Read may run on the update thread: implementations guard the
  // values they share.
  virtual bool SetAttribute(Attribute, float) { return false; }
  virtual bool GetAttribute(Attribute, float*) const { return false; }
};

}  // namespace kestrel::audio
