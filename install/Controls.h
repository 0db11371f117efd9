#pragma once
// The installer window's controls as its logic sees them: thin handles over
// the window system, each carrying its stored settings.
#include <functional>
#include <string>

#include "install/FormDescription.h"
#include "platform/WindowSystem.h"

namespace norv {

// MemoDadosAplicativo: the information text, later the installation log.
class TMemo {
 public:
  TMemo(WindowSystem& windows, form::ControlBounds bounds) : windows_(windows), Bounds(bounds) {}
  void SetText(const std::string& text) { windows_.SetMemoText(text); }
  std::string Text() const { return windows_.MemoText(); }
  void Clear() { windows_.ClearMemo(); }
  // Appends one log line as the new last line.
  void Add(const std::string& line) { windows_.AppendMemoLine(line); }
  void EnableVerticalScrollBar() { windows_.EnableMemoVerticalScrollBar(); }

 private:
  WindowSystem& windows_;

 public:
  const form::ControlBounds Bounds;
};

class TButton {
 public:
  TButton(form::ControlBounds bounds, std::string caption, bool isDefault)
      : Bounds(bounds), Caption(std::move(caption)), Default(isDefault) {}
  const form::ControlBounds Bounds;
  const std::string Caption;
  const bool Default;
  // Bound to the window's click handler; unassigned does nothing.
  std::function<void()> OnClick;
  void Click() {
    if (OnClick) OnClick();
  }
};

class TProgressBar {
 public:
  TProgressBar(WindowSystem& windows, form::ControlBounds bounds)
      : windows_(windows), Bounds(bounds) {}
  void SetMax(int max) { windows_.SetProgressMax(max); }
  void SetPosition(int position) { windows_.SetProgressPosition(position); }

 private:
  WindowSystem& windows_;

 public:
  const form::ControlBounds Bounds;
};

// A picture box; the pictures themselves belong to the platform layer.
class TImage {
 public:
  explicit TImage(form::ControlBounds bounds) : Bounds(bounds) {}
  const form::ControlBounds Bounds;
};

}  // namespace norv
