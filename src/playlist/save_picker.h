#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

// The system's Save picker, behind a seam so tests answer it instead of a person.
namespace kestrel {

struct SavePickerRequest {
  std::string caption;
  std::vector<std::string> filters;  // "Label (*.a)", in the order shown
  std::string default_name;          // offered in the name field, e.g. "playlist.m3u"
  std::string default_suffix;        // added when the typed name has none, e.g. "m3u"
};

// The chosen path (bytes, as the system spells them); empty after Cancel. The real picker asks
// before overwriting a file and accepts only a folder that exists.
using SaveFilePicker = std::function<std::string(const SavePickerRequest&)>;

std::string PickFileToSave(QWidget* owner, const SavePickerRequest& request);

// nullptr restores the real picker.
void SetSaveFilePickerForTesting(SaveFilePicker picker);

}  // namespace kestrel
