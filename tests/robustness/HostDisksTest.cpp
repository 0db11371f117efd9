// The file system conformance and target-safety suites over the in-memory
// file system and over files on Linux in a temporary directory.
#include "tests/robustness/FileSystemConformanceSuite.h"
#include "tests/robustness/HostDisks.h"
#include "tests/robustness/TargetSafetySuite.h"

namespace norv::robustness {
namespace {

const auto kHostDisks =
    ::testing::Values(DiskKind{"Memory", [] { return std::make_unique<MemoryDisk>(); }},
                      DiskKind{"Posix", [] { return std::make_unique<PosixDisk>(); }});
std::string DiskName(const ::testing::TestParamInfo<DiskKind>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Disks, TargetSafety, kHostDisks, DiskName);
INSTANTIATE_TEST_SUITE_P(Disks, FileSystemConformance, kHostDisks, DiskName);

}  // namespace
}  // namespace norv::robustness
