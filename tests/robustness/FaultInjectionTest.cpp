// Faults of the archive's volumes during a restore of the reference
// archive: a volume that cannot be opened or vanishes, a read that fails
// anywhere. Each gives its documented outcome, and every existing file is
// wholly old or wholly new, date included. Faults of the target disk are
// in TargetSafetySuite.h, over every file system.
#include <gtest/gtest.h>

#include "tests/robustness/ProbedRestore.h"
#include "tests/robustness/ReferenceArchive.h"

namespace norv::robustness {
namespace {

const char* const kOld = "contents before the restore";
constexpr std::int32_t kOldDate = 0x20000000;
constexpr std::int32_t kStoredDate = 0x306F528F;

std::string Target(const ReferenceFile& file) {
  return "C:\\DEST\\" + file.storedName.substr(3);
}

class FaultInjection : public ::testing::Test {
 protected:
  // A restore of the reference archive over destination files that all
  // exist already with other contents.
  std::unique_ptr<ProbedRestore> Prepare() {
    auto run = std::make_unique<ProbedRestore>();
    run->AddVolumes(reference_.volumes);
    for (const auto& file : reference_.files) run->fs.AddFile(Target(file), kOld, kOldDate);
    return run;
  }
  // Every destination file holds its old contents and date or its new
  // ones, also the one that the run was writing when it stopped.
  void ExpectNothingElseLost(ProbedRestore& run) {
    for (const auto& file : reference_.files) {
      const std::string bytes = run.fs.FileBytes(Target(file));
      const std::int32_t stamp = run.fs.Stamp(Target(file));
      const bool old = bytes == kOld && stamp == kOldDate;
      const bool fresh = bytes == file.bytes && stamp == kStoredDate;
      EXPECT_TRUE(old || fresh) << file.storedName << " is torn";
    }
  }

  const ReferenceArchive reference_ = MakeReferenceArchive();
};

TEST_F(FaultInjection, AVolumeThatCannotBeOpenedAfterTheRequestRaises) {
  for (int volume : {2, 3}) {
    SCOPED_TRACE("volume " + std::to_string(volume));
    auto run = Prepare();
    // It exists when the request looks, but opening it fails.
    run->faults.FailOpen(fuzz::VolumeName(volume));
    const Outcome outcome = run->Run();
    EXPECT_TRUE(run->probe->Violations().empty()) << run->probe->Report();
    ASSERT_EQ(outcome.ending, Ending::Exception);
    EXPECT_NE(outcome.message.find(fuzz::VolumeName(volume)), std::string::npos) << outcome.message;
    ExpectNothingElseLost(*run);
  }
}

TEST_F(FaultInjection, AVolumeRemovedDuringTheRequestEndsTheRunWithoutAReport) {
  auto run = Prepare();
  // The installer's handler answers "continue" and gives up after a few
  // questions when the volume does not appear.
  run->backup.OnNeedDisk = [&run](TBackupFile&, std::uint16_t, bool& go) {
    run->fs.RemoveFile(fuzz::VolumeName(2));
    go = run->ui.dialogCount++ < 3;
  };
  EXPECT_EQ(run->Run().ending, Ending::False);
  // The one change outside the destination is the test's own.
  EXPECT_EQ(run->probe->Violations(),
            std::vector<std::string>{"an existing file disappeared: " + fuzz::VolumeName(2)})
      << run->probe->Report();
  EXPECT_EQ(run->backup.ErrorCode(), 0);
  EXPECT_TRUE(run->probe->EndEventSeen());
  EXPECT_FALSE(run->probe->ErrorEventSeen());
  ExpectNothingElseLost(*run);
}

TEST_F(FaultInjection, AReadFaultAnywhereEndsCleanly) {
  for (std::size_t v = 0; v < reference_.volumes.size(); ++v) {
    for (std::size_t at = 0; at < reference_.volumes[v].size(); at += 7) {
      auto run = Prepare();
      run->faults.FailReadAt(fuzz::VolumeName(static_cast<int>(v) + 1),
                             static_cast<std::int64_t>(at));
      run->Run();
      ASSERT_TRUE(run->probe->Violations().empty())
          << "volume " << v + 1 << " offset " << at << "\n"
          << run->probe->Report();
      ExpectNothingElseLost(*run);
    }
  }
}

}  // namespace
}  // namespace norv::robustness
