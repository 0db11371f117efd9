#pragma once
// What the installer window needs of the window system: the text box used as
// information text and log, the progress bar, the application-wide cursor,
// the error box, plus the message dialog and serving messages.
#include <string>

#include "platform/UserInterface.h"

namespace norv {

enum class Cursor { Default = 0, HourGlass = -11 };

class WindowSystem : public UserInterface {
 public:
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

  // The application-wide cursor.
  virtual void SetCursor(Cursor cursor) = 0;

  // The message loop's error box (stop icon, "OK", caption = the
  // application title). `text` is shown as given.
  virtual void ErrorBox(const std::string& text) = 0;
};

}  // namespace norv
