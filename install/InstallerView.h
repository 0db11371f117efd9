#pragma once
// The installer window's own controls as the installation writes to them:
// the text box used as information text and log, and the progress bar. The
// window system the window lives in is apart (platform/WindowSystem.h).
#include <string>

namespace norv {

class InstallerView {
 public:
  virtual ~InstallerView() = default;

  // MemoDadosAplicativo.
  // Replaces the whole text (CR LF line breaks). Throws norv::Exception
  // "Text exceeds memo capacity" when the control cannot hold it.
  virtual void SetMemoText(const std::string& text) = 0;
  virtual void ClearMemo() = 0;
  // Appends one line as the new last line; the caret goes after it and the
  // box scrolls it into view.
  virtual void AppendMemoLine(const std::string& line) = 0;
  virtual void EnableMemoVerticalScrollBar() = 0;
  virtual std::string MemoText() = 0;

  // ProgressBar1.
  virtual void SetProgressMax(int max) = 0;
  virtual void SetProgressPosition(int position) = 0;
};

}  // namespace norv
