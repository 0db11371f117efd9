#pragma once
// Pure helpers over Windows-style path text. Every question about drives,
// separators and path components is answered here.
#include <string>
#include <string_view>

namespace norv {

// The drive that the installer and "norvarc extract" restore onto, and on
// which the in-memory file system places relative names.
inline constexpr char kSystemDrive[] = "C:";

// Whether `c` separates path components: "\" or "/", as Windows reads both.
constexpr bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// Calls `visit` with each component of `path` between separators, empty
// ones included ("A\\B\" gives A, "", B, ""), until it returns true; true
// when one did.
template <class Visit>
bool AnyComponent(std::string_view path, Visit&& visit) {
  std::size_t start = 0;
  for (;;) {
    std::size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (visit(path.substr(start, end - start))) return true;
    if (end == path.size()) return false;
    start = end + 1;
  }
}

// Index of the last "\" or ":" in `path`, or npos.
std::string::size_type LastDelimiter(const std::string& path);
// The text after the last "\" or ":".
std::string ExtractFileName(const std::string& path);
// The text up to and including the last "\" or ":" ("" when there is none).
std::string ExtractFilePath(const std::string& path);
// The directory part without its trailing "\", unless that "\" follows a ":"
// or another "\" (C:\A\X.TXT gives C:\A, C:\X.TXT gives C:\).
std::string ExtractFileDir(const std::string& path);
// Replaces the extension (from the last "." not followed by "\" or ":") with
// `extension` (which includes its "."); a name without one gets it appended.
std::string ChangeFileExt(const std::string& path, const std::string& extension);
// Whether `path` starts with a drive: an ASCII letter and a colon ("C:").
bool StartsWithDrive(const std::string& path);
// Whether `path` starts with a drive's root: a drive and a backslash
// ("C:\"), as every name stored in an archive does.
bool StartsWithDriveRoot(const std::string& path);
// `path` without its drive root; unchanged when it does not start with one.
std::string WithoutDriveRoot(const std::string& path);
// Upper-cases the ASCII letters a..z only.
std::string AsciiUpperCase(std::string text);

}  // namespace norv
