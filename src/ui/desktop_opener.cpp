#include "ui/desktop_opener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace kestrel {
namespace {

DesktopOpener& Opener() {
  static DesktopOpener opener;
  return opener;
}

}  // namespace

void SetDesktopOpenerForTesting(DesktopOpener opener) { Opener() = std::move(opener); }

bool OpenWithDesktop(const std::filesystem::path& file) {
  if (Opener()) return Opener()(file);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  // Qt hands the file to the desktop's opener (xdg-open and friends) as an argument, never
  // through a shell.
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

}  // namespace kestrel
