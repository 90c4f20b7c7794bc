#pragma once

#include <QObject>

namespace kestrel {

class MainWindow;

// Sees every key press of the application before any widget does, and turns the presses meant
// for the main window into commands: keyboard help first, then the accelerators, then the video
// keys and the position keys. Keys for a dialog, an open menu or another window pass untouched.
class KeyRouter : public QObject {
 public:
  explicit KeyRouter(MainWindow& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool IsForMainWindow(QObject* watched) const;

  MainWindow& window_;
};

}  // namespace kestrel
