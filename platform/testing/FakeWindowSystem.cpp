#include "platform/testing/FakeWindowSystem.h"

#include <algorithm>

#include "platform/Errors.h"

namespace norv {

DialogResult FakeWindowSystem::MessageDialog(const std::string& text, DialogKind kind,
                                             DialogButtons buttons) {
  dialogs_.push_back({text, kind, buttons});
  trace_.push_back("dialog " + text);
  // The arrow while the dialog is open, the previous cursor afterwards.
  struct ArrowWhileOpen {
    Cursor& shown;
    const Cursor saved = shown;
    ~ArrowWhileOpen() { shown = saved; }
  } arrow{shownCursor_};
  shownCursor_ = Cursor::Default;
  if (onDialog_) {
    if (auto answer = onDialog_(dialogs_.back())) return *answer;
  }
  if (answers_.empty()) return DialogResult::Ok;
  DialogResult answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void FakeWindowSystem::ServeMessages() {
  ++serveCount_;
  if (onServe_) onServe_();
}

void FakeWindowSystem::SetMemoText(const std::string& text) {
  if (memoCapacity_ != 0 && text.size() > memoCapacity_) {
    throw Exception("Text exceeds memo capacity");
  }
  memo_ = text;
  trace_.push_back("text");
}

void FakeWindowSystem::ClearMemo() {
  memo_.clear();
  trace_.push_back("clear");
}

void FakeWindowSystem::AppendMemoLine(const std::string& line) {
  // As the EDIT control does: into an empty last line followed by a break,
  // or after a break when the last line has characters.
  const bool lastLineEmpty = memo_.empty() || memo_.ends_with("\r\n");
  memo_ += lastLineEmpty ? line + "\r\n" : "\r\n" + line;
  trace_.push_back("line " + line);
}

void FakeWindowSystem::EnableMemoVerticalScrollBar() {
  scrollBar_ = true;
  trace_.push_back("scrollbar");
}

// The bar keeps its position within 0..max, also when the range shrinks.
void FakeWindowSystem::SetProgressMax(int max) {
  progressMax_ = max;
  shownPosition_ = std::max(0, std::min(shownPosition_, max));
  trace_.push_back("max " + std::to_string(max));
}

void FakeWindowSystem::SetProgressPosition(int position) {
  positions_.push_back(position);
  shownPosition_ = std::max(0, std::min(position, progressMax_));
}

void FakeWindowSystem::SetCursor(Cursor cursor) {
  cursors_.push_back(cursor);
  shownCursor_ = cursor;
  trace_.push_back(cursor == Cursor::HourGlass ? "cursor hourglass" : "cursor default");
}

void FakeWindowSystem::ErrorBox(const std::string& text) {
  errorBoxes_.push_back(text);
  trace_.push_back("error " + text);
}

std::vector<std::string> FakeWindowSystem::MemoLines() const {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < memo_.size()) {
    std::size_t end = memo_.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(memo_.substr(start));
      break;
    }
    lines.push_back(memo_.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace norv
