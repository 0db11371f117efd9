#pragma once
// The disks of the host's own tests: a MemoryFileSystem, and a
// PosixFileSystem whose drive is a fresh temporary directory.
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/MemoryFileSystem.h"
#include "tests/robustness/TargetSafetySuite.h"

namespace norv::robustness {

class MemoryDisk : public Disk {
 public:
  FileSystem& Files() override { return fs_; }

 private:
  MemoryFileSystem fs_;
};

class PosixDisk : public Disk {
 public:
  PosixDisk() {
    std::string pattern = (std::filesystem::temp_directory_path() / "norv-disk-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    fs_ = std::make_unique<PosixFileSystem>(root_);
  }
  ~PosixDisk() override { std::filesystem::remove_all(root_); }
  FileSystem& Files() override { return *fs_; }
  bool IgnoresCase() const override { return false; }

 private:
  std::string root_;
  std::unique_ptr<PosixFileSystem> fs_;
};

}  // namespace norv::robustness
