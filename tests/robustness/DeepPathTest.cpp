// An archive controls how deep its names go: making the directories of a
// 20,000-level name must cost memory in proportion to the name, not to the
// square of its depth.
#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "tests/robustness/AllocationWatch.h"

namespace norv::robustness {
namespace {

// Nothing exists below the drive; directories are counted as they are made,
// without allocating, so the watch sees ForceDirectories alone.
class CountingFileSystem : public FileSystem {
 public:
  std::int32_t FileStamp(const std::string&) override { return -1; }
  bool DirectoryExists(const std::string& name) override { return name.size() <= made_; }
  std::unique_ptr<FileStream> OpenRead(const std::string& name) override {
    throw EFOpenError(name, "not here");
  }
  std::unique_ptr<FileStream> CreateWrite(const std::string& name) override {
    throw EFCreateError(name, "not here");
  }
  std::unique_ptr<FileStream> OpenWrite(const std::string& name) override {
    throw EFOpenError(name, "not here");
  }
  std::string ExpandFileName(const std::string& name) override { return name; }
  void MoveOver(const std::string&, const std::string& target) override {
    throw EFReplaceError(target, "not here");
  }
  bool RemoveFile(const std::string&) override { return false; }
  void Rename(const std::string&, const std::string& target) override {
    throw EFReplaceError(target, "not here");
  }
  bool RemoveDir(const std::string&) override { return false; }
  void SyncDirectory(const std::string&) override {}
  std::int64_t FreeSpace(const std::string&) override { return -1; }
  bool CreateDir(const std::string& name, std::string&) override {
    outermostFirst = outermostFirst && name.size() > made_;
    made_ = name.size();
    ++created;
    return true;
  }

  std::size_t created = 0;
  bool outermostFirst = true;

 private:
  std::size_t made_ = 2;  // the bare drive
};

TEST(DeepPathTest, ForceDirectoriesUsesMemoryLinearInThePath) {
  constexpr std::size_t kLevels = 20000;
  std::string path = "C:";
  for (std::size_t i = 0; i < kLevels; ++i) path += "\\D";
  CountingFileSystem fs;

  AllocationWatch watch;
  EXPECT_TRUE(fs.ForceDirectories(path));
  const std::size_t total = watch.Total();

  EXPECT_EQ(fs.created, kLevels);
  EXPECT_TRUE(fs.outermostFirst);
  if (AllocationWatch::Active()) {
    EXPECT_LT(total, 32 * path.size())
        << "bytes allocated for a " << path.size() << "-character path";
  }
}

}  // namespace
}  // namespace norv::robustness
