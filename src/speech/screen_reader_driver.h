#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// One screen reader the player can speak through. The bridge asks the drivers in table order
// which one runs, then speaks through that one until it fails.
class ScreenReaderDriver {
 public:
  explicit ScreenReaderDriver(std::string name) : name_(std::move(name)) {}
  virtual ~ScreenReaderDriver() = default;
  ScreenReaderDriver(const ScreenReaderDriver&) = delete;
  ScreenReaderDriver& operator=(const ScreenReaderDriver&) = delete;

  // For display only.
  const std::string& name() const { return name_; }

  virtual bool IsRunning() = 0;
  // True when the text was handed to the reader.
  virtual bool Output(std::string_view text, bool interrupt) = 0;
  virtual bool Silence() = 0;
  // Releases whatever the driver holds (connections, libraries); the next call starts afresh.
  virtual void Unload() = 0;

 private:
  std::string name_;
};

}  // namespace kestrel
