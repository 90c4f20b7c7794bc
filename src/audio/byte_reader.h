#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The bytes of a file or an internet stream, as a decoder reads them. A local file and a block
// of memory are implemented here; the HTTP layer gives its own reader for internet streams.
namespace kestrel::audio {

class ByteReader {
 public:
  virtual ~ByteReader() = default;
  // Reads up to `size` bytes at the current offset; returns how many (0 at the end), or -1 on
  // a failure.
  virtual std::int64_t Read(void* buffer, std::int64_t size) = 0;
  // Moves to this byte offset from the start; false when the reader cannot seek (a live
  // stream) or the offset is past the end.
  virtual bool Seek(std::int64_t offset) = 0;
  // Total size in bytes; -1 when unknown (then the reader is read straight through, no seeks).
  virtual std::int64_t Size() const = 0;
};

// A reader over a local file (the path in UTF-8), or nullptr when it cannot be opened.
std::unique_ptr<ByteReader> OpenFileReader(const std::string& path);
// A reader over bytes held in memory.
std::unique_ptr<ByteReader> MakeMemoryReader(std::string bytes);

}  // namespace kestrel::audio
