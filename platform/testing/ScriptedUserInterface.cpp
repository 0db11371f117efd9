#include "platform/testing/ScriptedUserInterface.h"

namespace norv {

DialogResult ScriptedUserInterface::MessageDialog(const std::string& text, DialogKind kind,
                                                  DialogButtons buttons) {
  dialogs_.push_back({text, kind, buttons});
  if (answers_.empty()) return DialogResult::Ok;
  const DialogResult answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedUserInterface::ServeMessages() {
  ++serveCount_;
  if (onServe_) onServe_();
}

}  // namespace norv
