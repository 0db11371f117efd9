#pragma once
// The fake window system with the installer window's memo and progress bar,
// for tests of the installer: what the controls are told goes into the same
// ordered trace as the dialogs and error boxes.
#include <cstddef>
#include <string>
#include <vector>

#include "install/InstallerView.h"
#include "platform/testing/FakeWindowSystem.h"

namespace norv {

class FakeInstallerWindowSystem : public FakeWindowSystem, public InstallerView {
 public:
  // --- InstallerView ---
  void SetMemoText(const std::string& text) override;
  void ClearMemo() override;
  void AppendMemoLine(const std::string& line) override;
  void EnableMemoVerticalScrollBar() override;
  std::string MemoText() override { return memo_; }
  void SetProgressMax(int max) override;
  void SetProgressPosition(int position) override;

  // --- Script ---
  // SetMemoText of a longer text throws "Text exceeds memo capacity".
  void SetMemoCapacity(std::size_t bytes) { memoCapacity_ = bytes; }

  // --- Inspection ---
  // The memo's lines (CR LF separated; a final line break ends the last one).
  std::vector<std::string> MemoLines() const;
  int ProgressMax() const { return progressMax_; }
  // The position the bar shows: kept within 0..max, as the real bar does.
  int ProgressPosition() const { return shownPosition_; }
  // Every SetProgressPosition, as asked (out of range too).
  const std::vector<int>& ProgressPositions() const { return positions_; }
  bool ScrollBarEnabled() const { return scrollBar_; }
  // Trace() also holds "line <text>", "clear", "text", "scrollbar" and
  // "max <n>"; progress positions are left out (see ProgressPositions).

 private:
  std::string memo_;
  std::size_t memoCapacity_ = 0;  // 0: no limit
  std::vector<int> positions_;
  int shownPosition_ = 0;
  int progressMax_ = 100;
  bool scrollBar_ = false;
};

}  // namespace norv
