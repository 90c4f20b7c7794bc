#pragma once

// Running the X helper programs (xdotool) of the tests that drive the real player on Xvfb.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <string>

namespace kestrel::test {

// Runs a helper program on `display` to its end (15 s at most) and returns its standard output.
inline std::string RunTool(const QString& program, const QStringList& arguments,
                           const QString& display) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DISPLAY", display);
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  process.waitForFinished(15000);
  return process.readAllStandardOutput().toStdString();
}

}  // namespace kestrel::test
