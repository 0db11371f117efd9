// Volume-change records that lead back to a volume already read: the run
// must end with an exception instead of reading the same volumes (and
// appending to the same file) for ever.
#include <gtest/gtest.h>

#include "tests/backup/ArchiveBytes.h"
#include "tests/robustness/ProbedRestore.h"

namespace norv::robustness {
namespace {

using namespace norv::testing;

TEST(VolumeLoop, ARecordNamingAVolumeAlreadyReadEndsTheRun) {
  struct Case {
    const char* what;
    std::vector<std::string> volumes;
  };
  const std::string first =
      Header(6) + Entry("C:\\A\\B.TXT") + Stored("abc") + kEnd + NextDisk("002");
  const Case cases[] = {
      {"the second volume names itself", {first, kSig + Stored("d") + kEnd + NextDisk("002")}},
      {"the second volume names the first", {first, kSig + Stored("d") + kEnd + NextDisk("001")}},
      {"the first volume names itself",
       {Header(3) + Entry("C:\\A\\B.TXT") + Stored("abc") + kEnd + NextDisk("001")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ProbedRestore run;
    run.ui.serveLimit = 50;
    run.AddVolumes(c.volumes);
    const Outcome outcome = run.Run();
    EXPECT_TRUE(run.probe->Violations().empty()) << run.probe->Report();
    ASSERT_EQ(outcome.ending, Ending::Exception);
    EXPECT_NE(outcome.message.find("has been read already"), std::string::npos) << outcome.message;
    // The entry never ended, so its file was never put in place.
    EXPECT_FALSE(run.fs.HasFile("C:\\DEST\\A\\B.TXT"));
    EXPECT_LE(run.ui.serveCount, 4);
  }
}

TEST(VolumeLoop, VolumesInOrderStillRestore) {
  ProbedRestore run;
  run.AddVolumes({Header(5) + Entry("C:\\A\\B.TXT") + Stored("abc") + kEnd + NextDisk("002"),
                  kSig + Stored("d") + kEnd + NextDisk("003"), kSig + Stored("e") + kEnd + kEnd});
  EXPECT_EQ(run.Run().ending, Ending::True) << run.probe->Report();
  EXPECT_EQ(run.fs.FileBytes("C:\\DEST\\A\\B.TXT"), "abcde");
}

}  // namespace
}  // namespace norv::robustness
