#pragma once
// Waits on a thread of its own for a visible top-level "#32770" window of
// this process, records what it shows and then acts on it, as a person
// would while the test's thread sits in the dialog's modal loop.
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace norv::win32::testing {

struct SeenDialog {
  bool Found = false;
  std::string Caption;
  std::string Text;  // the Static text control, id 0xFFFF
  bool HasOk = false, HasCancel = false;
  RECT Bounds{};
};

class DialogWatcher {
 public:
  // `act` runs on the watcher's thread with the dialog's handle.
  explicit DialogWatcher(std::function<void(HWND)> act);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  // Joins the thread (gives up after a time limit) and returns what it saw.
  const SeenDialog& Seen();

 private:
  std::function<void(HWND)> act_;
  SeenDialog seen_;
  std::thread thread_;
};

}  // namespace norv::win32::testing
