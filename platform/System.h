#pragma once
// Process-level services: running-application test and program start.
#include <string>

namespace norv {

class System {
 public:
  virtual ~System() = default;
  // True when a top-level window of this class exists (no title filter).
  virtual bool FindWindowA(const std::string& className) = 0;
  // Starts a program without waiting; returns the platform's result (> 31 on
  // success), which callers ignore.
  virtual unsigned WinExec(const std::string& commandLine, unsigned showWindow) = 0;
};

}  // namespace norv
