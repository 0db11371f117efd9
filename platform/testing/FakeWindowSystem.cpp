#include "platform/testing/FakeWindowSystem.h"

#include "platform/MessageDialogLayout.h"

namespace norv {

DialogResult FakeWindowSystem::MessageDialog(const std::string& text, DialogKind kind,
                                             DialogButtons buttons) {
  dialogs_.push_back(
      {text, kind, buttons, MessageDialogCaption(kind), MessageDialogButtonCaptions(buttons)});
  Record("dialog " + text);
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

void FakeWindowSystem::SetCursor(Cursor cursor) {
  cursors_.push_back(cursor);
  shownCursor_ = cursor;
  Record(cursor == Cursor::HourGlass ? "cursor hourglass" : "cursor default");
}

void FakeWindowSystem::ErrorBox(const std::string& text) {
  errorBoxes_.push_back(text);
  Record("error " + text);
}

}  // namespace norv
