// The file system conformance and target-safety suites over the in-memory
// file system and over files on Linux in a temporary directory.
#include <string>
#include <utility>
#include <vector>

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

// Beyond the suite: the in-memory disk keeps the case a name was made with
// (its directory part as the directory was made), and folds every
// Windows-1252 letter pair, not only ASCII ones.
TEST(MemoryFileSystemNames, KeepTheirFirstCaseAndFoldEveryLetterPair) {
  MemoryFileSystem fs;
  fs.AddDirectory("C:\\Dir");
  fs.AddDirectory("C:\\DIR\\Sub");
  fs.AddFile("c:\\dir\\Read.Me", "1");
  fs.AddFile("C:\\DIR\\READ.ME", "2");
  EXPECT_EQ(fs.Files(), std::vector<std::string>{"C:\\Dir\\Read.Me"});
  EXPECT_EQ(fs.Directories(), (std::vector<std::string>{"C:\\Dir", "C:\\Dir\\Sub"}));
  EXPECT_EQ(fs.FileBytes("C:\\Dir\\read.me"), "2");

  // Small and capital: s, oe and z with caron or ligature, y with
  // diaeresis, a grave, thorn. The division sign is no letter and the y's
  // capital is 0x9F: neither matches the byte 0x20 below it.
  const std::pair<const char*, const char*> pairs[] = {{"\x9A", "\x8A"}, {"\x9C", "\x8C"},
                                                       {"\x9E", "\x8E"}, {"\xFF", "\x9F"},
                                                       {"\xE0", "\xC0"}, {"\xFE", "\xDE"}};
  for (const auto& [small, capital] : pairs) {
    fs.AddFile(std::string("C:\\") + small, "x");
    EXPECT_TRUE(fs.HasFile(std::string("C:\\") + capital)) << capital;
  }
  fs.AddFile("C:\\\xF7", "x");
  EXPECT_FALSE(fs.HasFile("C:\\\xD7"));
  EXPECT_FALSE(fs.HasFile("C:\\\xDF"));
}

}  // namespace
}  // namespace norv::robustness
