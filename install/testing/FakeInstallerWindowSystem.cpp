#include "install/testing/FakeInstallerWindowSystem.h"

#include <algorithm>

#include "platform/Errors.h"

namespace norv {

void FakeInstallerWindowSystem::SetMemoText(const std::string& text) {
  if (memoCapacity_ != 0 && text.size() > memoCapacity_) {
    throw Exception("Text exceeds memo capacity");
  }
  memo_ = text;
  Record("text");
}

void FakeInstallerWindowSystem::ClearMemo() {
  memo_.clear();
  Record("clear");
}

void FakeInstallerWindowSystem::AppendMemoLine(const std::string& line) {
  // As the EDIT control does: into an empty last line followed by a break,
  // or after a break when the last line has characters.
  const bool lastLineEmpty = memo_.empty() || memo_.ends_with("\r\n");
  memo_ += lastLineEmpty ? line + "\r\n" : "\r\n" + line;
  Record("line " + line);
}

void FakeInstallerWindowSystem::EnableMemoVerticalScrollBar() {
  scrollBar_ = true;
  Record("scrollbar");
}

// The bar keeps its position within 0..max, also when the range shrinks.
void FakeInstallerWindowSystem::SetProgressMax(int max) {
  progressMax_ = max;
  shownPosition_ = std::max(0, std::min(shownPosition_, max));
  Record("max " + std::to_string(max));
}

void FakeInstallerWindowSystem::SetProgressPosition(int position) {
  positions_.push_back(position);
  shownPosition_ = std::max(0, std::min(position, progressMax_));
}

std::vector<std::string> FakeInstallerWindowSystem::MemoLines() const {
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
