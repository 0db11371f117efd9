#pragma once
// Faults of the target disk, the same over every file system: in memory,
// POSIX on a temporary directory, Win32 (under Wine). A full disk, a target
// or temporary file that cannot be written or made, a folder that cannot be
// made: each stops the run with error 1 and its report, names the file and
// the system's reason, and leaves every target wholly old or wholly new.
// A binary includes this header once and instantiates TargetSafety with the
// disks it has; each disk starts empty.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "backup/ResourceStrings.h"
#include "backup/TargetFile.h"
#include "platform/testing/FaultFileSystem.h"
#include "tests/robustness/Installation.h"

namespace norv::robustness {

// A file system that starts empty and is cleaned up with the object.
class Disk {
 public:
  virtual ~Disk() = default;
  virtual FileSystem& Files() = 0;
  // Whether names that differ only in the case of letters name one file, as
  // on Windows.
  virtual bool IgnoresCase() const { return true; }
};

struct DiskKind {
  const char* name;
  std::function<std::unique_ptr<Disk>()> make;
};

class TargetSafety : public ::testing::TestWithParam<DiskKind> {
 protected:
  void SetUp() override {
    disk_ = GetParam().make();
    installation_.LayOut(disk_->Files());
  }
  FileSystem& Files() { return disk_->Files(); }
  // The run failed with error 1 on `failed`, reported it once, never
  // reported the file as restored, and nothing is torn or left.
  void ExpectFailedCleanly(const RestoreResult& run, const std::string& failed,
                           const std::string& reason) {
    ExpectFailedCleanly(installation_, run, failed, reason);
  }
  void ExpectFailedCleanly(const Installation& installation, const RestoreResult& run,
                           const std::string& failed, const std::string& reason) {
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.errorCode, 1);
    EXPECT_EQ(run.errorEvents, std::vector<std::string>{std::string("1 ") + SReadFileError});
    EXPECT_EQ(run.failedFile, failed);
    if (!reason.empty()) {
      EXPECT_EQ(run.reason, reason);
    }
    const auto torn = installation.Torn(Files());
    EXPECT_TRUE(torn.empty()) << torn.front();
    EXPECT_TRUE(installation.Temporaries(Files()).empty());
    for (const auto& file : installation.files) {
      if (file.target != failed) continue;
      std::string bytes;
      EXPECT_EQ(ReadWhole(Files(), file.target, bytes), file.installed);
      if (file.installed) {
        EXPECT_EQ(bytes, file.oldBytes) << "the failed file keeps its bytes";
      }
    }
  }

  const Installation installation_ = Installation::Make(12, 40000);
  std::unique_ptr<Disk> disk_;
};

TEST_P(TargetSafety, DiskFullAtEveryBlockBoundary) {
  // Where each block ends, counted in bytes written.
  std::set<std::int64_t> boundaries{0};
  {
    FaultFileSystem counter(Files());
    ASSERT_TRUE(RestoreInstallation(counter, [&](const std::string&) {
                  boundaries.insert(counter.BytesWritten());
                }).result);
  }
  std::set<std::int64_t> rooms;
  for (std::int64_t b : boundaries) rooms.insert({b, b + 1});
  const std::int64_t total = *boundaries.rbegin();
  // Written on a helper thread, the refusal is reported late: the same file
  // must still fail and stay whole.
  for (const bool late : {false, true}) {
    for (std::int64_t room : rooms) {
      if (room > total) continue;
      SCOPED_TRACE(std::string(late ? "reported late, " : "") + "room for " + std::to_string(room) +
                   " bytes");
      installation_.LayOut(Files());
      FaultFileSystem fs(Files());
      fs.LimitWrites(room);
      if (late) fs.WriteInBackground();
      const RestoreResult run = RestoreInstallation(fs);
      if (room == total) {  // room for every byte
        EXPECT_TRUE(run.result) << run.failedFile << ": " << run.reason;
        EXPECT_TRUE(installation_.NotNew(Files()).empty());
        continue;
      }
      ExpectFailedCleanly(run, run.failedFile, FaultFileSystem::kDiskFull);
      EXPECT_FALSE(run.failedFile.empty());
    }
  }
}

TEST_P(TargetSafety, ATargetThatCannotBeWrittenOrPlacedStopsTheRun) {
  const std::string locked = installation_.files[4].target;  // installed, after others
  ASSERT_TRUE(installation_.files[4].installed);
  struct Row {
    std::string what;
    std::function<void(FaultFileSystem&)> fault;
    std::function<void(FaultFileSystem&, const std::string&)> duringProgress;
    std::string failed, reason;
    bool made = true;  // a file never made is never reported as restored
  };
  std::vector<Row> rows = {
      {"in use from the start", [&](auto& fs) { fs.Lock(locked); }, nullptr, locked,
       FaultFileSystem::kInUse},
      {"in use while written", nullptr,
       [&](auto& fs, const std::string& file) {
         if (file == locked) fs.Lock(locked);
       },
       locked, FaultFileSystem::kInUse},
  };
  // The temporary file of each target in turn, installed or not, first or last.
  for (const auto& file : installation_.files) {
    const std::string temporary = TargetFile::TemporaryName(file.target);
    rows.push_back({"temporary not created for " + file.target,
                    [temporary](auto& fs) { fs.FailCreate(temporary); }, nullptr, file.target,
                    "Access is denied", false});
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    installation_.LayOut(Files());
    FaultFileSystem fs(Files());
    if (row.fault) row.fault(fs);
    const RestoreResult run = RestoreInstallation(fs, [&](const std::string& file) {
      if (row.duringProgress) row.duringProgress(fs, file);
    });
    ExpectFailedCleanly(run, row.failed, row.reason);
    if (!row.made) {
      for (const auto& name : run.restoredFiles) EXPECT_NE(name, row.failed);
    }
  }
}

TEST_P(TargetSafety, AFolderThatCannotBeMadeStopsTheRun) {
  Installation fresh = installation_;
  for (auto& file : fresh.files) file.installed = false;
  disk_ = GetParam().make();  // no folder of the installation exists
  fresh.LayOut(Files());
  FaultFileSystem fs(Files());
  fs.FailDirectory("C:\\DEST\\APP\\DATA");
  const RestoreResult run = RestoreInstallation(fs);
  ExpectFailedCleanly(fresh, run, fresh.files[0].target, "Access is denied");
  EXPECT_FALSE(Files().DirectoryExists("C:\\DEST\\APP\\DATA"));
  for (const auto& file : fresh.files) {
    EXPECT_FALSE(Files().FileExists(file.target)) << "nothing after the failure is touched";
  }
}

TEST_P(TargetSafety, ARerunAfterAFailureCompletes) {
  {
    FaultFileSystem fs(Files());
    fs.LimitWrites(30000);
    ASSERT_FALSE(RestoreInstallation(fs).result);
  }
  const RestoreResult rerun = RestoreInstallation(Files());
  EXPECT_TRUE(rerun.result) << rerun.reason;
  EXPECT_TRUE(installation_.NotNew(Files()).empty());
  EXPECT_TRUE(installation_.Temporaries(Files()).empty());
}

}  // namespace norv::robustness
