#pragma once
// Pure helpers over Windows-style path text.
#include <string>

namespace norv {

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
// Upper-cases the ASCII letters a..z only.
std::string AsciiUpperCase(std::string text);

}  // namespace norv
