#pragma once
// The installer window's controls as its logic sees them: thin handles over
// the installer's view, each carrying its stored settings.
#include <functional>
#include <string>

#include "install/FormDescription.h"
#include "install/InstallerView.h"

namespace norv {

// MemoDadosAplicativo: the information text, later the installation log.
class TMemo {
 public:
  TMemo(InstallerView& view, form::ControlBounds bounds) : view_(view), Bounds(bounds) {}
  void SetText(const std::string& text) { view_.SetMemoText(text); }
  std::string Text() const { return view_.MemoText(); }
  void Clear() { view_.ClearMemo(); }
  // Appends one log line as the new last line.
  void Add(const std::string& line) { view_.AppendMemoLine(line); }
  void EnableVerticalScrollBar() { view_.EnableMemoVerticalScrollBar(); }

 private:
  InstallerView& view_;

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
  TProgressBar(InstallerView& view, form::ControlBounds bounds) : view_(view), Bounds(bounds) {}
  void SetMax(int max) { view_.SetProgressMax(max); }
  void SetPosition(int position) { view_.SetProgressPosition(position); }

 private:
  InstallerView& view_;

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
