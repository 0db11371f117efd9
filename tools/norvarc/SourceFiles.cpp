#include "tools/norvarc/SourceFiles.h"

#include <algorithm>

#include "platform/Cp1252.h"
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

// A host path as Windows-1252 text: from the wide name on Windows, from
// UTF-8 elsewhere.
std::string Cp1252Of(const fs::path& path) {
#if defined(_WIN32)
  auto text = Utf16ToCp1252Exact(path.u16string());
#else
  auto text = Utf8ToCp1252(path.string());
#endif
  if (!text) throw HostNameError(path.string());
  return Backslashed(*text);
}

}  // namespace

HostNameError::HostNameError(const std::string& hostPath)
    : Exception(hostPath + ": the name has characters that Windows-1252 cannot hold") {}

std::vector<SourceFile> CollectSources(const std::vector<std::string>& paths,
                                       const std::string& prefix) {
  const std::string stem = TrimmedPrefix(SystemName(prefix));
  std::vector<SourceFile> sources;
  for (const auto& given : paths) {
    std::error_code ec;
    fs::path path = fs::absolute(HostPath(given), ec).lexically_normal();
    if (path.has_relative_path() && !path.has_filename()) path = path.parent_path();
    if (ec || !fs::exists(path, ec)) throw UsageError("no such file or directory: " + given);
    const fs::path base = path.parent_path();

    std::vector<SourceFile> found;
    auto add = [&](const fs::path& file) {
      found.push_back(
          {{stem + "\\" + Cp1252Of(file.lexically_relative(base)), Cp1252Of(file)}, file});
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
    std::sort(found.begin(), found.end(), [](const SourceFile& a, const SourceFile& b) {
      return a.entry.storedName < b.entry.storedName;
    });
    sources.insert(sources.end(), found.begin(), found.end());
  }
  return sources;
}

fs::path HostPath(const std::string& argument) {
#if defined(_WIN32)
  return fs::path(Cp1252ToUtf16(argument));
#else
  return fs::path(argument);
#endif
}

std::string SystemName(const std::string& argument) {
#if defined(_WIN32)
  return Backslashed(argument);
#else
  return Cp1252Of(fs::path(argument));
#endif
}

std::string UnmappedSystemName(const std::string& argument) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(HostPath(argument), ec);
  if (ec) return SystemName(argument);
#if defined(_WIN32)
  // "\\?\" before a full path: the same file, but no longer a drive name.
  return "\\\\?\\" + Cp1252Of(absolute);
#else
  // An absolute POSIX path starts with "/", never with a drive.
  return Cp1252Of(absolute);
#endif
}

}  // namespace norv::tool
