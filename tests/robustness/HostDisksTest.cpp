// The target-safety faults over the in-memory file system and over files
// on Linux in a temporary directory.
#include <stdlib.h>

#include <filesystem>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/MemoryFileSystem.h"
#include "tests/robustness/TargetSafetySuite.h"

namespace norv::robustness {
namespace {

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

 private:
  std::string root_;
  std::unique_ptr<PosixFileSystem> fs_;
};

INSTANTIATE_TEST_SUITE_P(
    Disks, TargetSafety,
    ::testing::Values(DiskKind{"Memory", [] { return std::make_unique<MemoryDisk>(); }},
                      DiskKind{"Posix", [] { return std::make_unique<PosixDisk>(); }}),
    [](const ::testing::TestParamInfo<DiskKind>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace norv::robustness
