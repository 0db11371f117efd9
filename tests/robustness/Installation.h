#pragma once
// An update archive of many files over an existing installation, laid out on
// any file system (in memory, POSIX, Win32) through the FileSystem interface
// alone, and the check that every target is wholly old or wholly new.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace norv::robustness {

inline constexpr std::int32_t kInstalledDate = 0x20210000;  // 1 January 1996, 00:00
inline constexpr std::int32_t kUpdateDate = 0x306F528F;     // 15 March 2004 10:20:30

struct InstalledFile {
  std::string target;    // "C:\DEST\APP\..."
  std::string oldBytes;  // what is installed; nothing when `installed` is false
  std::string newBytes;  // what the archive holds
  bool installed = true;
};

struct Installation {
  std::vector<InstalledFile> files;  // in archive order
  std::vector<std::string> volumes;  // the bytes of D:\UPD\ARC.001, .002, ...

  // `count` files of 0.5 to 40 KB, some of them several blocks long, some not
  // installed yet, in volumes of at most `volumeBytes`.
  static Installation Make(int count, std::int32_t volumeBytes);

  // Writes the volumes and the installed files with their old date, and
  // removes the new files and any temporary file a restore left.
  void LayOut(FileSystem& fs) const;
  // One line for each target that is neither wholly old (bytes and date, or
  // absent when not installed) nor wholly new (bytes and the archive's date).
  std::vector<std::string> Torn(FileSystem& fs) const;
  // The targets that do not hold their new bytes and date.
  std::vector<std::string> NotNew(FileSystem& fs) const;
  // Temporary files of the restore that exist.
  std::vector<std::string> Temporaries(FileSystem& fs) const;
};

struct RestoreResult {
  bool result = false;
  std::int32_t errorCode = 0;
  std::string failedFile, reason;
  std::vector<std::string> errorEvents;    // "code text" of each OnError
  std::vector<std::string> restoredFiles;  // each OnFileRestored's name
};

// Restores the installation's archive to C:\DEST as the installer does (every
// file written, every volume in place, always continue). `onProgress` runs
// in every progress event of a file, with its name.
RestoreResult RestoreInstallation(FileSystem& fs,
                                  const std::function<void(const std::string&)>& onProgress = {});

// The whole file, or nothing when it does not exist.
bool ReadWhole(FileSystem& fs, const std::string& name, std::string& bytes);

}  // namespace norv::robustness
