#include "platform/win32/Win32ConsoleUserInterface.h"

#include <windows.h>

#include <iostream>
#include <string>

namespace norv {

DialogResult Win32ConsoleUserInterface::MessageDialog(const std::string& text, DialogKind kind,
                                                      DialogButtons buttons) {
  // The program's texts are ANSI (Windows-1252); show them in that page.
  SetConsoleOutputCP(GetACP());
  std::cerr << (kind == DialogKind::Error ? "Error: " : "Information: ") << text << std::endl;
  if (buttons == DialogButtons::Ok) return DialogResult::Ok;
  std::cerr << "[OK/Cancel] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return DialogResult::Cancel;
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  return (answer == "OK" || answer == "ok" || answer == "o" || answer.empty())
             ? DialogResult::Ok
             : DialogResult::Cancel;
}

}  // namespace norv
