#include "playlist/file_pickers.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

namespace kestrel {
namespace {

OpenFilesPicker& FilesPickerOverride() {
  static OpenFilesPicker picker;
  return picker;
}

FolderPicker& FolderPickerOverride() {
  static FolderPicker picker;
  return picker;
}

// Where the pickers open: the folder last chosen in either of them during this run.
QString& LastFolder() {
  static QString folder;
  return folder;
}

// File names on this system are bytes; encodeName keeps a name that is not UTF-8 intact.
std::string SystemPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

void SetOpenFilesPickerForTesting(OpenFilesPicker picker) {
  FilesPickerOverride() = std::move(picker);
}

void SetFolderPickerForTesting(FolderPicker picker) { FolderPickerOverride() = std::move(picker); }

std::vector<std::string> PickFilesToOpen(QWidget* owner, const FilePickerRequest& request) {
  if (FilesPickerOverride()) return FilesPickerOverride()(request);
  const QString caption = QString::fromStdString(request.caption);
  QFileDialog dialog(owner, caption, LastFolder());
  dialog.setObjectName(QStringLiteral("open_files_dialog"));
  dialog.setAccessibleName(caption);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  QStringList filters;
  for (const std::string& filter : request.filters) filters << QString::fromStdString(filter);
  dialog.setNameFilters(filters);
  if (request.selected_filter >= 0 && request.selected_filter < filters.size()) {
    dialog.selectNameFilter(filters[request.selected_filter]);
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  LastFolder() = dialog.directory().absolutePath();
  std::vector<std::string> files;
  for (const QString& file : dialog.selectedFiles()) files.push_back(SystemPath(file));
  return files;
}

std::string PickFolder(QWidget* owner, const std::string& caption) {
  if (FolderPickerOverride()) return FolderPickerOverride()(caption);
  const QString title = QString::fromStdString(caption);
  QFileDialog dialog(owner, title, LastFolder());
  dialog.setObjectName(QStringLiteral("folder_dialog"));
  dialog.setAccessibleName(title);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString folder = dialog.selectedFiles().front();
  LastFolder() = folder;
  return SystemPath(folder);
}

}  // namespace kestrel
