// A restore over an existing installation, killed with SIGKILL at every one
// of its changes to the disk (each create, write, date, removal, and before
// and after each final move): every target is left wholly old or wholly
// new, bytes and date, and a second run completes with every file new.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/FaultFileSystem.h"
#include "tests/robustness/Installation.h"

namespace norv::robustness {
namespace {

class TempRoot {
 public:
  // In memory when the system offers it: a killed process loses nothing
  // that the kernel holds, and thousands of small files are faster there.
  TempRoot() {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "norv-crash-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempRoot() { std::filesystem::remove_all(path_); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Runs the restore in a child that kills itself at change number `killAt`;
// true when the child died by that signal.
bool RestoreKilledAt(const std::string& root, long killAt) {
  const pid_t child = ::fork();
  if (child == 0) {
    // Durability costs time and does not matter to a killed process: the
    // kernel keeps what was written.
    PosixFileSystem disk(root, false);
    FaultFileSystem fs(disk);
    fs.beforeChange = [killAt](long change) {
      if (change == killAt) ::raise(SIGKILL);
    };
    RestoreInstallation(fs);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST(Crash, AKillAtAnyChangeLeavesEveryFileOldOrNewAndARerunCompletes) {
  const Installation installation = Installation::Make(48, 60000);
  ASSERT_GE(installation.volumes.size(), 3u);
  TempRoot root;
  PosixFileSystem disk(root.Path(), false);

  // Count the changes of a whole run.
  installation.LayOut(disk);
  FaultFileSystem counter(disk);
  ASSERT_TRUE(RestoreInstallation(counter).result);
  const long changes = counter.Changes();
  ASSERT_GE(changes, 200) << "too few kill points";

  // Every change when there are few enough, else 250 spread evenly, the
  // last one (after the final move) always among them.
  const long points = std::min<long>(changes, 250);
  for (long i = 1; i <= points; ++i) {
    const long killAt = i == points ? changes : 1 + (i - 1) * changes / points;
    installation.LayOut(disk);
    ASSERT_TRUE(RestoreKilledAt(root.Path(), killAt)) << "change " << killAt;
    const auto torn = installation.Torn(disk);
    ASSERT_TRUE(torn.empty()) << "killed at change " << killAt << " of " << changes << ": "
                              << torn.front();
    const RestoreResult rerun = RestoreInstallation(disk);
    ASSERT_TRUE(rerun.result) << "after change " << killAt << ": " << rerun.reason;
    ASSERT_TRUE(installation.NotNew(disk).empty()) << "after change " << killAt;
    ASSERT_TRUE(installation.Temporaries(disk).empty()) << "after change " << killAt;
  }
}

}  // namespace
}  // namespace norv::robustness
