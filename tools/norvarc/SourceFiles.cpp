#include "tools/norvarc/SourceFiles.h"

#include <algorithm>
#include <filesystem>

#include "tools/norvarc/CommandLine.h"

namespace norv::tool {

namespace fs = std::filesystem;

namespace {

std::string Backslashed(std::string text) {
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// The prefix without trailing backslashes, so that "C:\DIR\" and "C:\DIR"
// give the same names.
std::string TrimmedPrefix(std::string prefix) {
  while (!prefix.empty() && prefix.back() == '\\') prefix.pop_back();
  return prefix;
}

}  // namespace

std::vector<ArchiveEntry> CollectSources(const std::vector<std::string>& paths,
                                         const std::string& prefix) {
  const std::string stem = TrimmedPrefix(prefix);
  std::vector<ArchiveEntry> entries;
  for (const auto& given : paths) {
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(given), ec).lexically_normal();
    if (path.has_relative_path() && !path.has_filename()) path = path.parent_path();
    if (ec || !fs::exists(path, ec)) throw UsageError("no such file or directory: " + given);
    const fs::path base = path.parent_path();

    std::vector<ArchiveEntry> found;
    auto add = [&](const fs::path& file) {
      found.push_back(
          {stem + "\\" + Backslashed(file.lexically_relative(base).string()), file.string()});
    };
    if (fs::is_directory(path, ec)) {
      for (fs::recursive_directory_iterator it(path, ec), end; it != end && !ec; it.increment(ec)) {
        if (it->is_regular_file(ec)) add(it->path());
      }
      if (ec) throw UsageError("cannot read directory " + given + ": " + ec.message());
    } else if (fs::is_regular_file(path, ec)) {
      add(path);
    } else {
      throw UsageError("not a regular file or directory: " + given);
    }
    std::sort(found.begin(), found.end(), [](const ArchiveEntry& a, const ArchiveEntry& b) {
      return a.storedName < b.storedName;
    });
    entries.insert(entries.end(), found.begin(), found.end());
  }
  return entries;
}

std::string SystemName(const std::string& posixPath) {
  return Backslashed(posixPath);
}

}  // namespace norv::tool
