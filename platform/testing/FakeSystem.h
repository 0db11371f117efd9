#pragma once
// Process-level services for tests: a registry of top-level window classes
// that a test (or a handler during a restore) opens and closes, every
// FindWindowA question in order, and every program started.
#include <set>
#include <string>
#include <vector>

#include "platform/System.h"

namespace norv {

struct FakeExec {
  std::string commandLine;
  unsigned showWindow;
};

class FakeSystem : public System {
 public:
  bool FindWindowA(const std::string& className) override;
  unsigned WinExec(const std::string& commandLine, unsigned showWindow) override;

  void OpenWindow(const std::string& className) { windows_.insert(className); }
  void CloseWindow(const std::string& className) { windows_.erase(className); }

  const std::vector<std::string>& Queries() const { return queries_; }
  void ClearQueries() { queries_.clear(); }
  const std::vector<FakeExec>& Execs() const { return execs_; }

 private:
  std::set<std::string> windows_;
  std::vector<std::string> queries_;
  std::vector<FakeExec> execs_;
};

}  // namespace norv
