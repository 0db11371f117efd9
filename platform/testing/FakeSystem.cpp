#include "platform/testing/FakeSystem.h"

namespace norv {

bool FakeSystem::FindWindowA(const std::string& className) {
  queries_.push_back(className);
  return windows_.count(className) != 0;
}

unsigned FakeSystem::WinExec(const std::string& commandLine, unsigned showWindow) {
  execs_.push_back({commandLine, showWindow});
  return 33;
}

}  // namespace norv
