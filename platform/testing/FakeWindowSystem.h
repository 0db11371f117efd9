#pragma once
// A window system for tests: records the cursor, every dialog (with the
// caption and buttons it shows) and error box, in one ordered trace as well;
// answers dialogs from a queue (OK once it is empty) or a callback, and runs
// a hook on every ServeMessages, standing for a window event during a
// restore. A program's fake window adds its own controls' calls to the trace.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace norv {

struct FakeDialog {
  std::string text;
  DialogKind kind;
  DialogButtons buttons;
  // As the dialog shows them.
  std::string caption;
  std::vector<std::string> buttonCaptions;
};

class FakeWindowSystem : public WindowSystem {
 public:
  // --- UserInterface ---
  DialogResult MessageDialog(const std::string& text, DialogKind kind,
                             DialogButtons buttons) override;
  void ServeMessages() override;

  // --- WindowSystem ---
  void SetCursor(Cursor cursor) override;
  void ErrorBox(const std::string& text) override;

  // --- Script ---
  void QueueAnswer(DialogResult answer) { answers_.push_back(answer); }
  // Called for each dialog before the queue; a result it returns wins.
  void SetOnDialog(std::function<std::optional<DialogResult>(const FakeDialog&)> callback) {
    onDialog_ = std::move(callback);
  }
  void SetOnServeMessages(std::function<void()> callback) { onServe_ = std::move(callback); }

  // --- Inspection ---
  const std::vector<FakeDialog>& Dialogs() const { return dialogs_; }
  const std::vector<std::string>& ErrorBoxes() const { return errorBoxes_; }
  // Every SetCursor, as asked.
  const std::vector<Cursor>& Cursors() const { return cursors_; }
  // The cursor shown: the arrow (Default) while a dialog is open.
  Cursor CurrentCursor() const { return shownCursor_; }
  int ServeCount() const { return serveCount_; }
  // Every call, in order: "dialog <text>", "error <text>",
  // "cursor hourglass|default", and what a derived fake records.
  const std::vector<std::string>& Trace() const { return trace_; }

 protected:
  void Record(std::string call) { trace_.push_back(std::move(call)); }

 private:
  std::vector<FakeDialog> dialogs_;
  std::deque<DialogResult> answers_;
  std::function<std::optional<DialogResult>(const FakeDialog&)> onDialog_;
  std::function<void()> onServe_;
  std::vector<std::string> errorBoxes_;
  std::vector<Cursor> cursors_;
  Cursor shownCursor_ = Cursor::Default;
  int serveCount_ = 0;
  std::vector<std::string> trace_;
};

}  // namespace norv
