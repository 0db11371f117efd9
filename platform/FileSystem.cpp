#include "platform/FileSystem.h"

#include <vector>

#include "platform/Errors.h"

namespace norv {

namespace {
bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

std::string WithoutTrailingSeparators(std::string dir) {
  while (dir.size() > 1 && IsSeparator(dir.back())) dir.pop_back();
  return dir;
}
}  // namespace

bool FileSystem::ForceDirectories(const std::string& path, std::string* reason) {
  if (path.empty()) throw EInOutError("Unable to create directory");
  // Walk up to the first directory that exists (or a bare drive), then
  // create the missing ones outermost first. Iterative: names may be long.
  std::vector<std::string> missing;
  std::string dir = WithoutTrailingSeparators(path);
  while (dir.size() >= 3 && !DirectoryExists(dir)) {
    missing.push_back(dir);
    auto cut = dir.find_last_of("\\/:");
    if (cut == std::string::npos) break;
    std::string parent = WithoutTrailingSeparators(dir.substr(0, cut + 1));
    if (parent == dir) break;
    dir = parent;
  }
  std::string firstFailure;
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    std::string why;
    if (!CreateDir(*it, why) && firstFailure.empty()) firstFailure = why;
  }
  // The walk's first question was this one when it found `path` at once.
  if (missing.empty() && dir.size() >= 3 && dir == path) return true;
  if (DirectoryExists(path)) return true;
  if (reason) *reason = firstFailure;
  return false;
}

}  // namespace norv
