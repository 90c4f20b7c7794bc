#include <QFile>
#include <QFileDialog>
#include <QStringList>

#include "playlist/save_picker.h"

namespace kestrel {
namespace {

SaveFilePicker& SavePickerOverride() {
  static SaveFilePicker picker;
  return picker;
}

}  // namespace

void SetSaveFilePickerForTesting(SaveFilePicker picker) { SavePickerOverride() = std::move(picker); }

std::string PickFileToSave(QWidget* owner, const SavePickerRequest& request) {
  if (SavePickerOverride()) return SavePickerOverride()(request);
  const QString caption = QString::fromStdString(request.caption);
  QFileDialog dialog(owner, caption);
  dialog.setObjectName(QStringLiteral("save_file_dialog"));
  dialog.setAccessibleName(caption);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);  // the folder must exist; the file need not
  dialog.setDefaultSuffix(QString::fromStdString(request.default_suffix));
  QStringList filters;
  for (const std::string& filter : request.filters) filters << QString::fromStdString(filter);
  dialog.setNameFilters(filters);
  dialog.selectFile(QString::fromStdString(request.default_name));
  // QFileDialog asks before replacing an existing file unless told otherwise.
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

}  // namespace kestrel
