#pragma once
// The pure rules of a restore run: destination paths, the restore-mode
// decision, volume names and the progress percentage.
#include <cstdint>
#include <string>

#include "backup/BackupTypes.h"

namespace norv::restore {

// The destination with a "\" appended unless it is empty or ends in one.
std::string WorkingDestination(const std::string& destination);

// The working destination of a restore onto the system drive ("C:\"), as the
// installer and "norvarc extract" run it; archives are checked against it.
std::string SystemDestination();

// The part of a stored name that goes below a non-empty destination: the
// name without its drive root (full paths) or its last component. A name
// that does not start with a drive root keeps all of it: nothing else is
// cut off.
std::string AppendedPart(const std::string& storedName, bool fullPath);

// The destination path of an entry: the stored name unchanged for an empty
// working destination, else the destination and the appended part.
std::string DestinationName(const std::string& workingDestination, const std::string& storedName,
                            bool fullPath);

// The part of a stored name whose components are checked: the appended part
// below a destination; with an empty destination, the stored name without
// its drive root.
std::string CheckedPart(const std::string& workingDestination, const std::string& storedName,
                        bool fullPath);

// False when the stored name would place the file outside the destination:
// the checked part has a ".." component (or one of dots and blanks with two
// dots or more), a ":" or starts with a separator.
bool StaysInsideDestination(const std::string& workingDestination, const std::string& storedName,
                            bool fullPath);

// Whether an entry dated `fileDate` replaces a destination whose stamp is
// `stamp` (-1 when no file is there). Dates compare as signed 32-bit values.
bool RestoreDecision(TRestoreMode mode, std::int32_t stamp, std::int32_t fileDate);

// The number text without its leading zeros ("010" gives "10").
std::string DisplayForm(const std::string& volumeNumberText);
// The display form read as a decimal number, low 16 bits. Throws
// EBackupError when it is not a decimal number.
std::uint16_t DiskID(const std::string& displayForm);
// The built-in volume prompt for a display form.
std::string DiskPrompt(const std::string& displayForm);

// done / total * 100, rounded half to even, kept within 0..100 (100 when
// total is not positive or smaller than done).
TPercentage ProgressPercent(std::int32_t done, std::int32_t total);

}  // namespace norv::restore
