#include "platform/win32/Win32System.h"

#include <windows.h>

namespace norv {

bool Win32System::FindWindowA(const std::string& className) {
  return ::FindWindowA(className.c_str(), nullptr) != nullptr;
}

unsigned Win32System::WinExec(const std::string& commandLine, unsigned showWindow) {
  return ::WinExec(commandLine.c_str(), showWindow);
}

}  // namespace norv
