#pragma once
// A window system for tests of the installer window: records the memo, the
// progress bar, the cursor, every dialog and error box, in one ordered trace
// as well; answers dialogs from a queue (OK once it is empty) or a callback,
// and runs a hook on every ServeMessages, standing for a window event during
// a restore.
#include <cstddef>
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
};

class FakeWindowSystem : public WindowSystem {
 public:
  // --- UserInterface ---
  DialogResult MessageDialog(const std::string& text, DialogKind kind,
                             DialogButtons buttons) override;
  void ServeMessages() override;

  // --- WindowSystem ---
  void SetMemoText(const std::string& text) override;
  void ClearMemo() override;
  void AppendMemoLine(const std::string& line) override;
  void EnableMemoVerticalScrollBar() override;
  std::string MemoText() override { return memo_; }
  void SetProgressMax(int max) override;
  void SetProgressPosition(int position) override;
  void SetCursor(Cursor cursor) override;
  void ErrorBox(const std::string& text) override;

  // --- Script ---
  void QueueAnswer(DialogResult answer) { answers_.push_back(answer); }
  // Called for each dialog before the queue; a result it returns wins.
  void SetOnDialog(std::function<std::optional<DialogResult>(const FakeDialog&)> callback) {
    onDialog_ = std::move(callback);
  }
  void SetOnServeMessages(std::function<void()> callback) { onServe_ = std::move(callback); }
  // SetMemoText of a longer text throws "Text exceeds memo capacity".
  void SetMemoCapacity(std::size_t bytes) { memoCapacity_ = bytes; }

  // --- Inspection ---
  // The memo's lines (CR LF separated; a final line break ends the last one).
  std::vector<std::string> MemoLines() const;
  const std::vector<FakeDialog>& Dialogs() const { return dialogs_; }
  const std::vector<std::string>& ErrorBoxes() const { return errorBoxes_; }
  // Every SetCursor, as asked.
  const std::vector<Cursor>& Cursors() const { return cursors_; }
  // The cursor shown: the arrow (Default) while a dialog is open.
  Cursor CurrentCursor() const { return shownCursor_; }
  int ProgressMax() const { return progressMax_; }
  // The position the bar shows: kept within 0..max, as the real bar does.
  int ProgressPosition() const { return shownPosition_; }
  // Every SetProgressPosition, as asked (out of range too).
  const std::vector<int>& ProgressPositions() const { return positions_; }
  bool ScrollBarEnabled() const { return scrollBar_; }
  int ServeCount() const { return serveCount_; }
  // Every call above, in order: "line <text>", "dialog <text>", "error <text>",
  // "clear", "text", "scrollbar", "max <n>", "cursor hourglass|default".
  // Progress positions are left out (see ProgressPositions).
  const std::vector<std::string>& Trace() const { return trace_; }

 private:
  std::string memo_;
  std::size_t memoCapacity_ = 0;  // 0: no limit
  std::vector<FakeDialog> dialogs_;
  std::deque<DialogResult> answers_;
  std::function<std::optional<DialogResult>(const FakeDialog&)> onDialog_;
  std::function<void()> onServe_;
  std::vector<std::string> errorBoxes_;
  std::vector<Cursor> cursors_;
  Cursor shownCursor_ = Cursor::Default;
  std::vector<int> positions_;
  int shownPosition_ = 0;
  int progressMax_ = 100;
  bool scrollBar_ = false;
  int serveCount_ = 0;
  std::vector<std::string> trace_;
};

}  // namespace norv
