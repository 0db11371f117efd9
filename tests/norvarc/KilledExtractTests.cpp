// The norvarc program killed with SIGKILL while it restores an update all
// or nothing, at points spread over the whole run and, as densely, over its
// end (the moves into place and the clean-up), timed from when the first
// replaced file is set aside; sometimes killed again while it recovers;
// then "norvarc recover": the destination must be wholly the old tree, or
// wholly the new one once the run had put every file in place, bytes and
// dates, with nothing of the restore's own left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <thread>

#include "TestSupport.h"

extern char** environ;

namespace norv::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKillPoints = 300;
constexpr std::int32_t kOldDate = 0x2C210000;  // 1 January 2002

// Every file (its bytes and date) and directory below a root.
struct Tree {
  std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
  std::vector<std::string> directories;
  bool operator==(const Tree&) const = default;
};

Tree TreeOf(const fs::path& root) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).string();
    if (entry.is_directory()) {
      tree.directories.push_back(name);
    } else {
      tree.files[name] = {ReadFile(entry.path().string()), entry.last_write_time()};
    }
  }
  std::sort(tree.directories.begin(), tree.directories.end());
  return tree;
}

// The first name where two trees differ, for the failure message.
std::string FirstDifference(const Tree& a, const Tree& b) {
  for (const auto& [name, file] : a.files) {
    auto it = b.files.find(name);
    if (it == b.files.end() || it->second != file) return name;
  }
  for (const auto& [name, file] : b.files) {
    if (!a.files.contains(name)) return name;
  }
  return a.directories == b.directories ? "" : "(the directories)";
}

// The first file named after the restore's own (.norvtmp, .norvold,
// .norvjournal) below `root`, or "".
std::string FirstLeftover(const fs::path& root) {
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".norv") != std::string::npos) return entry.path().string();
  }
  return "";
}

// norvarc started without a shell, its output thrown away.
class Process {
 public:
  explicit Process(const std::vector<std::string>& args) {
    std::vector<std::string> words = {NORVARC_PROGRAM};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2}) {
      ::posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                         0);
    }
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    ::posix_spawn_file_actions_destroy(&actions);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() { Kill(); }

  bool Started() const { return pid_ > 0; }
  // Waits until `happened` answers true; false when the process ended
  // first. It looks every few tens of microseconds: a watcher that never
  // let go of the processor would, on a busy machine, share one with the
  // process and see it only before and after whole time slices.
  template <typename Condition>
  bool Await(Condition happened) {
    while (!happened()) {
      if (Ended()) return false;
      std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
    return true;
  }
  // Kills it at `when` unless it ended before; its exit code, or -1 when
  // the kill ended it.
  int KillAt(Clock::time_point when) {
    std::this_thread::sleep_until(when);
    return Kill();
  }
  int Wait() {
    if (pid_ > 0) Reap(0);
    return exitCode_;
  }

 private:
  bool Ended() { return pid_ <= 0 || Reap(WNOHANG); }
  int Kill() {
    if (!Ended()) ::kill(pid_, SIGKILL);
    return Wait();
  }
  // True when the process has ended and is reaped.
  bool Reap(int options) {
    int status = 0;
    if (::waitpid(pid_, &status, options) != pid_) return false;
    pid_ = -1;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
  }

  pid_t pid_ = -1;
  int exitCode_ = -1;
};

class KilledExtractTest : public ::testing::Test {
 protected:
  // The update: 40 replaced files in APP\BIN, 48 new ones in six new
  // folders (two levels deep), 220 KB of noise over three volumes.
  void SetUp() override {
    for (int i = 0; i < 40; ++i) {
      const std::string name = "APP/BIN/F" + std::to_string(100 + i) + ".DLL";
      WriteFile(dir / ("src/" + name), NoiseBytes(1000 + 97 * i, i), kSampleDate);
      oldFiles_.push_back({name, NoiseBytes(300 + i, 1000 + i)});
    }
    for (int i = 0; i < 48; ++i) {
      const std::string name = "APP/NEW/D" + std::to_string(i % 3) + "/E" + std::to_string(i % 2) +
                               "/G" + std::to_string(i) + ".DAT";
      WriteFile(dir / ("src/" + name), NoiseBytes(1500 + 31 * i, 500 + i), kSampleDate + i);
    }
    oldFiles_.push_back({"APP/KEEP.TXT", "not in the update"});
    const Outcome made = RunNorvarc(
        {"create", "--max-size", "90000", "--prefix", "C:\\", dir / "ARC.001", dir / "src/APP"},
        dir / "err.txt");
    ASSERT_EQ(made.exitCode, 0) << made.err;
    ASSERT_TRUE(fs::exists(dir / "ARC.003"));
    ASSERT_FALSE(fs::exists(dir / "ARC.004"));

    MakeOldTree();
    oldTree_ = TreeOf(dest_);
    // Whole runs give the new tree, how long a run takes, and how long
    // its end takes from the first move into place.
    std::vector<Clock::duration> runs, ends;
    for (int i = 0; i < 5; ++i) {
      MakeOldTree();
      const auto start = Clock::now();
      Process run(ExtractArgs());
      ASSERT_TRUE(run.Started());
      const bool seen = run.Await([this] { return Moving(); });
      const auto moving = Clock::now();
      ASSERT_EQ(run.Wait(), 0);
      runs.push_back(Clock::now() - start);
      if (seen) ends.push_back(Clock::now() - moving);
    }
    std::sort(runs.begin(), runs.end());
    std::sort(ends.begin(), ends.end());
    runTime_ = runs[2];
    endTime_ = ends.empty() ? runTime_ / 10 : ends[ends.size() / 2];
    newTree_ = TreeOf(dest_);
    ASSERT_NE(FirstDifference(oldTree_, newTree_), "");
    MakeOldTree();
  }

  void MakeOldTree() {
    fs::remove_all(dest_);
    for (const auto& [name, bytes] : oldFiles_) WriteFile((dest_ / name).string(), bytes, kOldDate);
  }

  // Whether the run has begun to move its files into place: the first
  // replaced file is then set aside, and its new version follows. Unlike a
  // kept old version, which lasts a millisecond, this state stays, so a
  // watcher the system lets wait still sees it.
  bool Moving() const {
    std::error_code error;
    return fs::file_size(dest_ / "APP/BIN/F100.DLL", error) != oldFiles_.front().second.size();
  }

  std::vector<std::string> ExtractArgs() const {
    return {"extract", "--all-or-nothing", dir / "ARC.001", dest_.string()};
  }

  TempDir dir;
  const fs::path dest_ = dir.Path() / "dest";
  std::vector<std::pair<std::string, std::string>> oldFiles_;
  Tree oldTree_, newTree_;
  Clock::duration runTime_{}, endTime_{};
};

TEST_F(KilledExtractTest, KilledAnywhereThenRecoveredIsWhollyOldOrWhollyNew) {
  std::map<std::string, int> seen;
  for (int point = 0; point < kKillPoints; ++point) {
    const std::string where = "kill point " + std::to_string(point);
    // Even points are spread from the start to a little past a whole
    // run's length, odd ones from the first move into place (seen a little
    // late) to the run's end: the moves and the clean-up are short.
    const int step = point / 2;
    const bool fromStart = point % 2 == 0;
    const auto span = fromStart ? runTime_ * 12 / 10 : endTime_;
    const auto delay = span * step / (kKillPoints / 2);
    auto anchor = Clock::now();
    Process run(ExtractArgs());
    ASSERT_TRUE(run.Started());
    if (!fromStart && run.Await([this] { return Moving(); })) anchor = Clock::now();
    const int exitCode = run.KillAt(anchor + delay);
    const bool finished = exitCode != -1;
    EXPECT_TRUE(!finished || exitCode == 0) << where << ": exit code " << exitCode;

    // Every third point also kills the first recovery, within its first
    // few milliseconds.
    if (point % 3 == 1) {
      const auto recoveryStart = Clock::now();
      Process recovery({"recover", dest_.string()});
      recovery.KillAt(recoveryStart + std::chrono::microseconds(point * 13 % 4000));
    }
    const Outcome recovered = RunNorvarc({"recover", dest_.string()}, dir / "err.txt");
    EXPECT_EQ(recovered.exitCode, 0) << where << ": " << recovered.err;

    const Tree tree = TreeOf(dest_);
    const bool isOld = tree == oldTree_;
    const bool isNew = tree == newTree_;
    EXPECT_TRUE(isOld || isNew) << where << ": differs from the old tree at "
                                << FirstDifference(tree, oldTree_) << ", from the new at "
                                << FirstDifference(tree, newTree_);
    // A run that ended by itself, or whose recovery only cleaned up, was
    // committed; an undone one was not.
    const bool undone = recovered.err.find("was undone") != std::string::npos;
    const bool completed = recovered.err.find("was completed") != std::string::npos;
    EXPECT_FALSE((finished || completed) && !isNew) << where;
    EXPECT_FALSE(undone && !isOld) << where;
    EXPECT_EQ(FirstLeftover(dest_), "") << where;
    if (HasFailure()) return;

    ++seen[std::string(finished ? "finished" : "killed") +
           (undone      ? ", undone"
            : completed ? ", completed"
                        : "") +
           (isNew ? ", new" : ", old")];
    if (!isOld) MakeOldTree();
  }
  // Where the kills landed, for whoever reads the log: the points are
  // timed, so the counts vary from run to run.
  for (const auto& [what, count] : seen) std::cout << "  " << what << ": " << count << '\n';
}

}  // namespace
}  // namespace norv::testing
