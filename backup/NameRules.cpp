#include "backup/NameRules.h"

#include <algorithm>
#include <cstdio>

#include "backup/RestoreRules.h"
#include "platform/Paths.h"

namespace norv::names {

namespace {

bool ForbiddenInNames(unsigned char c) {
  return c < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
         c == '*';
}

// "1".."9" and the superscripts one, two and three (Windows-1252), which
// Windows also reads as port numbers.
bool IsPortDigit(unsigned char c) {
  return (c >= '1' && c <= '9') || c == 0xB9 || c == 0xB2 || c == 0xB3;
}

std::string Hex(unsigned char c) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", c);
  return text;
}

std::string ComponentProblem(std::string_view part) {
  if (part.empty()) return "it has an empty path component";
  for (const char c : part) {
    if (ForbiddenInNames(static_cast<unsigned char>(c))) {
      return "a path component holds the character " + Hex(static_cast<unsigned char>(c)) +
             ", which Windows forbids in names";
    }
  }
  if (IsDeviceName(part)) return "\"" + std::string(part) + "\" is a device name";
  if (part.size() > kMaxComponent) {
    return "a path component has " + std::to_string(part.size()) + " characters (at most " +
           std::to_string(kMaxComponent) + ")";
  }
  if (part.back() == '.' || part.back() == ' ')
    return "path component \"" + std::string(part) + "\" ends in a dot or a blank";
  return "";
}

}  // namespace

bool IsDeviceName(std::string_view component) {
  std::size_t length = std::min(component.find('.'), component.size());
  while (length > 0 && component[length - 1] == ' ') --length;
  // Device names have three to seven characters: most names end here.
  if (length < 3 || length > 7) return false;
  const std::string base = AsciiUpperCase(std::string(component.substr(0, length)));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
      base == "CONOUT$")
    return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         IsPortDigit(static_cast<unsigned char>(base[3]));
}

std::string WhyRefused(const std::string& workingDestination, const std::string& storedName,
                       bool fullPath) {
  if (!restore::StaysInsideDestination(workingDestination, storedName, fullPath))
    return "it leaves the destination (a \"..\" component, a further \":\" or a leading separator)";
  const std::string part = restore::CheckedPart(workingDestination, storedName, fullPath);
  // Directories are made up to the last backslash only: the file system
  // would read a "/" as one more directory, which nobody made.
  if (part.find('/') != std::string::npos) return "it holds a \"/\"";
  std::string problem;
  if (AnyComponent(part, [&](std::string_view component) {
        problem = ComponentProblem(component);
        return !problem.empty();
      }))
    return problem;
  const std::string target = restore::DestinationName(workingDestination, storedName, fullPath);
  const std::size_t room = kTemporarySuffix.size();
  if (target.size() + room > kMaxPath) {
    return "its path has " + std::to_string(target.size()) + " characters (at most " +
           std::to_string(kMaxPath - room) + ")";
  }
  const std::string fileName = ExtractFileName(target);
  // Restoring such a file would overwrite, or be overwritten by, the
  // temporary file of the file named without the suffix.
  if (fileName.size() >= room && AsciiUpperCase(fileName.substr(fileName.size() - room)) ==
                                     AsciiUpperCase(std::string(kTemporarySuffix))) {
    return "its name ends in \"" + std::string(kTemporarySuffix) +
           "\", which the restore keeps for its temporary files";
  }
  if (fileName.size() + room > kMaxComponent) {
    return "its file name has " + std::to_string(fileName.size()) + " characters (at most " +
           std::to_string(kMaxComponent - room) + ")";
  }
  const std::string directory = ExtractFileDir(target);
  if (directory.size() > kMaxDirectory) {
    return "its directory has " + std::to_string(directory.size()) + " characters (at most " +
           std::to_string(kMaxDirectory) + ")";
  }
  return "";
}

}  // namespace norv::names
