#pragma once
// A window system for tests: records every message dialog and answers from
// a queue (OK once the queue is empty); counts ServeMessages calls and can
// run a callback in each, standing for a window event during a restore.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/UserInterface.h"

namespace norv {

struct DialogRecord {
  std::string text;
  DialogKind kind;
  DialogButtons buttons;
};

class ScriptedUserInterface : public UserInterface {
 public:
  DialogResult MessageDialog(const std::string& text, DialogKind kind,
                             DialogButtons buttons) override;
  void ServeMessages() override;

  // Answers for the next dialogs, in order.
  void QueueAnswer(DialogResult answer) { answers_.push_back(answer); }
  void SetOnServeMessages(std::function<void()> callback) { onServe_ = std::move(callback); }

  const std::vector<DialogRecord>& Dialogs() const { return dialogs_; }
  int ServeCount() const { return serveCount_; }

 private:
  std::vector<DialogRecord> dialogs_;
  std::deque<DialogResult> answers_;
  std::function<void()> onServe_;
  int serveCount_ = 0;
};

}  // namespace norv
