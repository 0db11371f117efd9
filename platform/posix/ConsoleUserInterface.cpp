#include "platform/posix/ConsoleUserInterface.h"

#include <iostream>
#include <string>

namespace norv {

DialogResult ConsoleUserInterface::MessageDialog(const std::string& text, DialogKind kind,
                                                 DialogButtons buttons) {
  std::cerr << (kind == DialogKind::Error ? "Error: " : "Information: ") << text << '\n';
  if (buttons == DialogButtons::Ok) return DialogResult::Ok;
  std::cerr << "[OK/Cancel] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return DialogResult::Cancel;
  return (answer == "OK" || answer == "ok" || answer == "o" || answer.empty())
             ? DialogResult::Ok
             : DialogResult::Cancel;
}

}  // namespace norv
