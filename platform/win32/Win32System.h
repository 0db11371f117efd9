#pragma once
// Running-application test and program start through the Win32 API.
#include "platform/System.h"

namespace norv {

class Win32System : public System {
 public:
  bool FindWindowA(const std::string& className) override;
  unsigned WinExec(const std::string& commandLine, unsigned showWindow) override;
};

}  // namespace norv
