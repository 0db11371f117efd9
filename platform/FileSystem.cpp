#include "platform/FileSystem.h"

#include <vector>

#include "platform/Errors.h"
#include "platform/Paths.h"

namespace norv {

namespace {
// The length of `dir`'s first `length` characters without trailing
// separators (one character always stays).
std::size_t WithoutTrailingSeparators(const std::string& dir, std::size_t length) {
  while (length > 1 && IsSeparator(dir[length - 1])) --length;
  return length;
}

// The length of the parent of `dir`'s first `length` characters, or
// `length` itself when there is none.
std::size_t ParentLength(const std::string& dir, std::size_t length) {
  for (std::size_t cut = length; cut-- > 0;) {
    // A parent ends at a separator or at a drive's colon.
    if (IsSeparator(dir[cut]) || dir[cut] == ':') return WithoutTrailingSeparators(dir, cut + 1);
  }
  return length;
}
}  // namespace

bool FileSystem::ForceDirectories(const std::string& path, std::string* reason) {
  if (path.empty()) throw EInOutError("Unable to create directory");
  // Walk up to the first directory that exists (or a bare drive), then
  // create the missing ones outermost first. Every directory is a prefix of
  // `path`: the walk keeps their lengths and one buffer, so memory stays
  // linear in the path however deep it is.
  std::vector<std::size_t> missing;
  std::string dir;
  std::size_t length = WithoutTrailingSeparators(path, path.size());
  while (length >= 3 && !DirectoryExists(dir.assign(path, 0, length))) {
    missing.push_back(length);
    const std::size_t parent = ParentLength(path, length);
    if (parent == length) break;
    length = parent;
  }
  std::string firstFailure;
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    std::string why;
    if (!CreateDir(dir.assign(path, 0, *it), why) && firstFailure.empty()) firstFailure = why;
  }
  // The walk's first question was this one when it found `path` at once.
  if (missing.empty() && length >= 3 && length == path.size()) return true;
  if (DirectoryExists(path)) return true;
  if (reason) *reason = firstFailure;
  return false;
}

FileStatus FileSystem::Status(const std::string& name) {
  const std::int32_t stamp = FileStamp(name);
  if (stamp != -1) return {FileKind::kFile, stamp};
  return {DirectoryExists(name) ? FileKind::kDirectory : FileKind::kNone, -1};
}

void FileSystem::CheckReplaceable(const std::string& target) {
  if (FileExists(target) || DirectoryExists(target)) OpenWrite(target);
}

}  // namespace norv
