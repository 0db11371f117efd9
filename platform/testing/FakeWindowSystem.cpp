#include "platform/testing/FakeWindowSystem.h"

#include <algorithm>

#include "platform/Errors.h"

namespace norv {

DialogResult FakeWindowSystem::MessageDialog(const std::string& text, DialogKind kind,
                                             DialogButtons buttons) {
  dialogs_.push_back({text, kind, buttons});
  trace_.push_back("dialog " + text);
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

void FakeWindowSystem::SetProgressMax(int max) {
  progressMax_ = max;
  trace_.push_back("max " + std::to_string(max));
}

void FakeWindowSystem::SetProgressPosition(int position) {
  positions_.push_back(position);
}

void FakeWindowSystem::SetCursor(Cursor cursor) {
  cursors_.push_back(cursor);
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
