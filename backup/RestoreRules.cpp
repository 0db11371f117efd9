#include "backup/RestoreRules.h"

#include <cmath>
#include <string_view>

#include "backup/ArchiveFormat.h"
#include "backup/BackupFile.h"
#include "backup/ResourceStrings.h"
#include "platform/Paths.h"

namespace norv::restore {

namespace {
// "..", and names of dots and blanks with two dots or more, which Windows
// may read as ".." once it drops trailing dots and blanks.
bool ClimbsOut(std::string_view component) {
  int dots = 0;
  for (const char c : component) {
    if (c == '.') {
      ++dots;
    } else if (c != ' ') {
      return false;
    }
  }
  return dots >= 2;
}
}  // namespace

std::string CheckedPart(const std::string& workingDestination, const std::string& storedName,
                        bool fullPath) {
  // With an empty destination the stored name is the path itself.
  if (workingDestination.empty()) return WithoutDriveRoot(storedName);
  return AppendedPart(storedName, fullPath);
}

std::string WorkingDestination(const std::string& destination) {
  if (destination.empty() || destination.back() == '\\') return destination;
  return destination + "\\";
}

std::string AppendedPart(const std::string& storedName, bool fullPath) {
  return fullPath ? WithoutDriveRoot(storedName) : ExtractFileName(storedName);
}

std::string SystemDestination() {
  return WorkingDestination(kSystemDrive);
}

std::string DestinationName(const std::string& workingDestination, const std::string& storedName,
                            bool fullPath) {
  if (workingDestination.empty()) return storedName;
  return workingDestination + AppendedPart(storedName, fullPath);
}

bool StaysInsideDestination(const std::string& workingDestination, const std::string& storedName,
                            bool fullPath) {
  const std::string part = CheckedPart(workingDestination, storedName, fullPath);
  if (!part.empty() && IsSeparator(part.front())) return false;
  if (part.find(':') != std::string::npos) return false;
  return !AnyComponent(part, ClimbsOut);
}

bool RestoreDecision(TRestoreMode mode, std::int32_t stamp, std::int32_t fileDate) {
  const bool exists = stamp != -1;
  const bool older = exists && stamp < fileDate;
  switch (mode) {
    case rmAll:
      return true;
    case rmNoOverwrite:
      return !exists;
    case rmNewer:
      return !exists || older;
    case rmExisting:
      return exists;
    case rmExistingNewer:
      return older;
  }
  return false;
}

std::string DisplayForm(const std::string& volumeNumberText) {
  const auto first = volumeNumberText.find_first_not_of('0');
  return first == std::string::npos ? "" : volumeNumberText.substr(first);
}

std::uint16_t DiskID(const std::string& displayForm) {
  std::size_t i = 0;
  bool negative = false;
  if (i < displayForm.size() && (displayForm[i] == '+' || displayForm[i] == '-')) {
    negative = displayForm[i] == '-';
    ++i;
  }
  if (i == displayForm.size()) {
    throw EBackupError("'" + displayForm + "' is not a valid integer value");
  }
  std::uint32_t value = 0;
  for (; i < displayForm.size(); ++i) {
    const char c = displayForm[i];
    if (c < '0' || c > '9')
      throw EBackupError("'" + displayForm + "' is not a valid integer value");
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::uint16_t>(value);
}

std::string DiskPrompt(const std::string& displayForm) {
  std::string text = SInsertDisk;
  const auto at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, displayForm);
  return text;
}

TPercentage ProgressPercent(std::int32_t done, std::int32_t total) {
  if (total <= 0 || done > total) return 100;
  if (done <= 0) return 0;
  const double exact = static_cast<double>(done) / static_cast<double>(total) * 100.0;
  // Half to even, independent of the floating-point rounding mode.
  double whole = std::floor(exact);
  const double fraction = exact - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return static_cast<TPercentage>(whole);
}

}  // namespace norv::restore
