#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

// The system's file and folder pickers, behind seams so tests answer them instead of a person.
// Paths come back as the system spells them (bytes, UTF-8 on a UTF-8 desktop).
namespace kestrel {

struct FilePickerRequest {
  std::string caption;
  std::vector<std::string> filters;  // "Label (*.a *.b)", in the order shown
  int selected_filter = 0;
};

// Existing files, any number; empty after Cancel.
using OpenFilesPicker = std::function<std::vector<std::string>(const FilePickerRequest&)>;
// One existing folder; empty after Cancel.
using FolderPicker = std::function<std::string(const std::string& caption)>;

std::vector<std::string> PickFilesToOpen(QWidget* owner, const FilePickerRequest& request);
std::string PickFolder(QWidget* owner, const std::string& caption);

// nullptr restores the real picker.
void SetOpenFilesPickerForTesting(OpenFilesPicker picker);
void SetFolderPickerForTesting(FolderPicker picker);

}  // namespace kestrel
