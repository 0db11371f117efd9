// Hostile stored names against the in-memory and the POSIX file system
// (a temporary directory as the drive root): nothing is ever written
// outside the destination, and names that would leave it (a ".." component,
// a component of dots and blanks that Windows may read as "..", a further
// ":" after the drive, a part starting with a separator) stop the run with
// error code 1 before OnRestoreFile, creating nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "backup/BackupFile.h"
#include "platform/posix/PosixFileSystem.h"
#include "tests/backup/ArchiveBytes.h"
#include "tests/robustness/ProbedRestore.h"

namespace norv::robustness {
namespace {

using namespace norv::testing;

namespace fsys = std::filesystem;

struct HostileName {
  std::string stored;
  bool unsafe;
};

std::vector<HostileName> HostileNames() {
  const std::string longPart(300, 'L');
  return {
      {"C:\\..\\X.TXT", true},
      {"C:\\A\\..\\..\\X.TXT", true},
      {"C:\\A\\..", true},
      {"C:\\A\\..\\B\\X.TXT", true},
      {"C:\\A/../../X.TXT", true},
      {"C:\\A\\B.TXT:STREAM", true},
      {"C:\\A\\B.TXT::$DATA", true},
      {"C:\\C:\\X.TXT", true},
      {"C:\\\\X.TXT", true},
      {"C:\\/X.TXT", true},
      {"C:\\.. \\X.TXT", true},
      {"C:\\A\\...\\X.TXT", true},
      {"C:\\A\\. .\\X.TXT", true},
      {"C:\\A\\..  ", true},
      {"C:\\A\\CON", false},
      {"C:\\A\\NUL.TXT", false},
      {"C:\\A\\COM1", false},
      {"C:\\A\\X.TXT.", false},
      {"C:\\A\\X.TXT ", false},
      {"C:\\A\\.\\X.TXT", false},
      {"C:\\A\\\\B.TXT", false},
      {"C:\\A\\\x01\x1F\x7F.TXT", false},
      {std::string("C:\\A\\B\0..\\..\\X", 14), false},
      {"C:\\" + longPart + "\\" + longPart + "\\X.TXT", false},
      {"C:\\A\\" + std::string(10000, 'N'), false},
      {"..\\X.TXT", false},
      {"C:..\\X.TXT", false},
      {"C::", false},
      {"AB", false},
  };
}

// The hostile entry, then a plain one that shows whether the run went on.
std::string ArchiveWith(const std::string& stored) {
  return Header(2) + Entry(stored) + Stored("h") + kEnd + Entry("C:\\OK\\AFTER.TXT") + Stored("a") +
         kEnd + kEnd;
}

std::string Printable(const std::string& name) {
  std::string out;
  for (unsigned char c : name.substr(0, 60)) {
    out += c < 32 || c > 126 ? "\\x" + std::to_string(c) : std::string(1, static_cast<char>(c));
  }
  return out;
}

TEST(PathSafety, InMemoryNothingLeavesTheDestination) {
  for (const auto& name : HostileNames()) {
    for (bool fullPath : {true, false}) {
      SCOPED_TRACE(Printable(name.stored) + (fullPath ? " full path" : " name only"));
      ProbedRestore run;
      run.backup.SetRestoreFullPath(fullPath);
      run.AddVolumes({ArchiveWith(name.stored)});
      const Outcome outcome = run.Run("C:\\DEST");
      EXPECT_TRUE(run.probe->Violations().empty()) << run.probe->Report();
      EXPECT_NE(outcome.ending, Ending::Exception) << outcome.message;
      // Only the last component counts without full paths.
      const bool unsafe =
          name.unsafe && (fullPath || name.stored.ends_with("..") || name.stored.ends_with("..  "));
      if (!unsafe) continue;
      EXPECT_EQ(run.backup.ErrorCode(), 1);
      EXPECT_EQ(outcome.ending, Ending::False);
      EXPECT_EQ(run.probe->RestoreFileEvents(), 0);
      EXPECT_TRUE(run.probe->ErrorEventSeen());
      EXPECT_FALSE(run.fs.HasFile(fullPath ? "C:\\DEST\\OK\\AFTER.TXT" : "C:\\DEST\\AFTER.TXT"))
          << "the run went on after an unsafe name";
      EXPECT_FALSE(run.fs.DirectoryExists("C:\\DEST")) << "a directory was made for it";
    }
  }
}

// With an empty destination the stored name is the path: only its drive
// part may hold a ":" or start at a root.
TEST(PathSafety, AnEmptyDestinationChecksTheWholeStoredName) {
  const HostileName names[] = {{"..\\A\\X.TXT", true},     {"A\\..\\..\\X.TXT", true},
                               {"C:..\\X.TXT", true},      {"\\X.TXT", true},
                               {"C:\\A\\..\\X.TXT", true}, {"C:\\A\\B:S", true},
                               {"D:\\OK\\X.TXT", false}};
  for (const auto& name : names) {
    SCOPED_TRACE(name.stored);
    ProbedRestore run;
    run.AddVolumes({ArchiveWith(name.stored)});
    run.Run("");
    EXPECT_TRUE(run.probe->Violations().empty()) << run.probe->Report();
    EXPECT_EQ(run.backup.ErrorCode(), name.unsafe ? 1 : 0);
    EXPECT_EQ(run.probe->RestoreFileEvents(), name.unsafe ? 0 : 2);
  }
}

// Every path below `root`, relative to it.
std::vector<std::string> Tree(const fsys::path& root) {
  std::vector<std::string> paths;
  for (const auto& entry : fsys::recursive_directory_iterator(root)) {
    paths.push_back(fsys::relative(entry.path(), root).string());
  }
  return paths;
}

TEST(PathSafety, OnDiskNothingLeavesTheDestination) {
  char pattern[] = "/tmp/norv-paths-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const fsys::path top = pattern;
  for (const auto& name : HostileNames()) {
    SCOPED_TRACE(Printable(name.stored));
    // top/outer/drive is the drive root; the destination is C:\DEST.
    const fsys::path drive = top / "outer" / "drive";
    fsys::remove_all(top / "outer");
    fsys::create_directories(drive / "UPD");
    std::ofstream(drive / "UPD" / "ARC.001", std::ios::binary) << ArchiveWith(name.stored);

    PosixFileSystem fs(drive.string());
    AnswerTape tape;
    TapeUserInterface ui(tape);
    TBackupFile backup(fs, ui);
    backup.SetRestoreFullPath(true);
    int offered = 0;
    int errorCode = 0;
    backup.OnRestoreFile = [&](TBackupFile&, std::string&, std::int32_t, bool&) { ++offered; };
    backup.OnError = [&](TBackupFile&, std::int32_t code, std::string) { errorCode = code; };
    bool result = false;
    try {
      result = backup.Restore("D:\\UPD\\ARC.001", "C:\\DEST");
    } catch (const std::exception& e) {
      ADD_FAILURE() << "raised: " << e.what();
    }
    for (const auto& path : Tree(top)) {
      const bool allowed = path == "outer" || path == "outer/drive" ||
                           path.starts_with("outer/drive/UPD") || path == "outer/drive/DEST" ||
                           path.starts_with("outer/drive/DEST/");
      EXPECT_TRUE(allowed) << "written outside the destination: " << Printable(path);
    }
    if (name.unsafe) {
      EXPECT_FALSE(result);
      EXPECT_EQ(errorCode, 1);
      EXPECT_EQ(offered, 0);
      EXPECT_FALSE(fsys::exists(drive / "DEST")) << "something was made for an unsafe name";
    }
  }
  fsys::remove_all(top);
}

}  // namespace
}  // namespace norv::robustness
