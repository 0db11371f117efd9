#pragma once
// The message dialog on a Windows console, for the archive tool: prints the
// text on stderr and reads the answer from stdin (no answer counts as Cancel).
#include "platform/UserInterface.h"

namespace norv {

class Win32ConsoleUserInterface : public UserInterface {
 public:
  DialogResult MessageDialog(const std::string& text, DialogKind kind,
                             DialogButtons buttons) override;
  void ServeMessages() override {}
};

}  // namespace norv
