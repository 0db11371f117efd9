// "test", "list" and "extract" over the same archives: test succeeds
// exactly when extracting every file into an empty directory succeeds; no
// archive makes a run endless or its memory large. Runs the norvarc
// program as a child process, with a time limit, and reads its peak RSS.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "backup/ArchiveWriter.h"
#include "platform/posix/PosixFileSystem.h"
#include "tests/backup/ArchiveBytes.h"

namespace norv {
namespace {

using namespace norv::testing;

// Sanitizer builds carry shadow memory of their own: their peak RSS says
// nothing about what an archive makes the program hold.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasuresMemory = false;
#else
constexpr bool kMeasuresMemory = true;
#endif

struct Child {
  int exitCode = -1;  // -1: killed (the time limit)
  std::string out;
  std::string err;
  long peakKiB = 0;
};

// Runs norvarc with `args`; stdout and stderr go to files in `dir`.
Child RunNorvarc(const TempDir& dir, const std::vector<std::string>& args, int seconds = 20) {
  const std::string outFile = dir / "child.out";
  const std::string errFile = dir / "child.err";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, 1);
    ::dup2(err, 2);
    // Output beyond 16 MiB means a run that does not end.
    const rlimit size{16 << 20, 16 << 20};
    ::setrlimit(RLIMIT_FSIZE, &size);
    ::alarm(static_cast<unsigned>(seconds));
    std::vector<char*> argv{const_cast<char*>(NORVARC_PROGRAM)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(NORVARC_PROGRAM, argv.data());
    ::_exit(127);
  }
  Child child;
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  child.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  child.peakKiB = usage.ru_maxrss;
  child.out = ReadFile(outFile);
  child.err = ReadFile(errFile);
  return child;
}

int CountLines(const std::string& text, const std::string& prefix) {
  int count = 0;
  for (std::size_t at = 0; (at = text.find(prefix, at)) != std::string::npos; at += prefix.size()) {
    if (at == 0 || text[at - 1] == '\n') ++count;
  }
  return count;
}

void WriteVolumes(const TempDir& dir, const std::vector<std::string>& volumes) {
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    WriteFile(dir / ("X." + archive::VolumeDigits(static_cast<int>(i) + 1)), volumes[i],
              kSampleDate);
  }
}

struct Verdicts {
  Child test;
  Child extract;
};

Verdicts TestAndExtract(const std::vector<std::string>& volumes) {
  TempDir dir;
  WriteVolumes(dir, volumes);
  Verdicts v;
  v.test = RunNorvarc(dir, {"test", dir / "X.001"});
  v.extract = RunNorvarc(dir, {"extract", "--mode", "all", dir / "X.001", dir / "dest"});
  return v;
}

std::string Levels(int count, const std::string& level) {
  std::string path;
  for (int i = 0; i < count; ++i) path += level;
  return path;
}

// Archives spelled byte by byte, one for each way a restore can end.
TEST(Agreement, SpelledArchives) {
  const std::string abc = Stored("abc") + kEnd;
  std::string badAdler = Deflate("hello hello hello");
  badAdler.back() ^= 1;
  const std::string big(20000, 'z');
  struct Case {
    const char* what;
    std::vector<std::string> volumes;
    bool sound;
  } cases[] = {
      {"one file", {Header(3) + Entry("C:\\A\\B.TXT") + abc + kEnd}, true},
      {"climbing name", {Header(3) + Entry("C:\\A\\..\\..\\EVIL.TXT") + abc + kEnd}, false},
      {"further colon", {Header(3) + Entry("C:\\A\\B:C.TXT") + abc + kEnd}, false},
      {"device name", {Header(3) + Entry("C:\\A\\NUL.TXT") + abc + kEnd}, false},
      {"trailing blank", {Header(3) + Entry("C:\\A \\B") + abc + kEnd}, false},
      {"path too long", {Header(3) + Entry("C:\\" + std::string(300, 'L')) + abc + kEnd}, false},
      {"file list with damage",
       {Header(3) + Entry("FILE:LIST") + Zlib(badAdler) + Zlib(Deflate(big)) + kEnd +
        Entry("C:\\B") + abc + kEnd},
       true},
      {"compression error", {Header(17) + Entry("C:\\B") + Zlib(badAdler) + kEnd + kEnd}, false},
      {"surplus dropped",
       {Header(16384) + Entry("C:\\B") + Zlib(Deflate(big)) + kEnd + kEnd},
       true},
      {"total differs", {Header(99) + Entry("C:\\B") + abc + kEnd}, true},
      {"a file where a directory was made",
       {Header(6) + Entry("C:\\A\\B") + abc + Entry("C:\\A") + abc + kEnd},
       false},
      {"a file below a file",
       {Header(6) + Entry("C:\\A") + abc + Entry("C:\\A\\B") + abc + Entry("C:\\A") + abc + kEnd},
       false},
      {"volume change first", {Header(0) + NextDisk("002"), kSig + kEnd + kEnd}, true},
      {"two volumes",
       {Header(4) + Entry("C:\\B") + abc + NextDisk("002"), kSig + Stored("d") + kEnd + kEnd},
       true},
      {"next volume missing", {Header(3) + Entry("C:\\B") + abc + NextDisk("002")}, false},
      {"volume number of one digit, named volume missing",
       {Header(4) + Entry("C:\\B") + abc + NextDisk("2"), kSig + Stored("d") + kEnd + kEnd},
       false},
      {"volume number not a number",
       {Header(4) + Entry("C:\\B") + abc + NextDisk("abc"), kSig + Stored("d") + kEnd + kEnd},
       false},
      {"volume loop", {Header(3) + Entry("C:\\B") + abc + NextDisk("001")}, false},
      {"name over 32 KiB",
       {Header(3) + Entry("C:\\" + std::string(40000, 'N')) + abc + kEnd},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Verdicts v = TestAndExtract(c.volumes);
    EXPECT_EQ(v.test.exitCode == 0, c.sound) << v.test.out << v.test.err;
    EXPECT_EQ(v.extract.exitCode == 0, c.sound) << v.extract.err;
  }
}

// Archives from the writer, then damaged: every truncation point and byte
// change picked by a fixed seed. The verdicts must agree on each.
TEST(Agreement, WrittenAndDamagedArchives) {
  TempDir src;
  WriteFile(src / "T/a.txt", TextBytes(30000), kSampleDate);
  WriteFile(src / "T/sub/b.bin", NoiseBytes(40000, 7), kSampleDate);
  WriteFile(src / "T/c.txt", "c", kSampleDate);
  PosixFileSystem fs;
  ArchiveOptions options;
  options.maxSize = 17000;
  options.fileList = true;
  std::vector<ArchiveEntry> entries = {{"C:\\T\\a.txt", src / "T/a.txt"},
                                       {"C:\\T\\sub\\b.bin", src / "T/sub/b.bin"},
                                       {"C:\\T\\c.txt", src / "T/c.txt"}};
  const ArchiveSummary summary = WriteArchive(fs, src / "X.001", entries, options);
  std::vector<std::string> volumes;
  for (const auto& v : summary.volumes) volumes.push_back(ReadFile(fs.NativePath(v.name)));
  ASSERT_GE(volumes.size(), 2u);

  std::mt19937 random(12345);
  int sound = 0;
  for (int round = 0; round < 100; ++round) {
    std::vector<std::string> damaged = volumes;
    std::string& volume = damaged[random() % damaged.size()];
    const std::size_t at = random() % volume.size();
    if (round % 3 == 0) {
      volume.resize(at);
    } else {
      volume[at] = static_cast<char>(volume[at] ^ (1 + random() % 255));
    }
    SCOPED_TRACE("round " + std::to_string(round));
    const Verdicts v = TestAndExtract(damaged);
    EXPECT_EQ(v.test.exitCode == 0, v.extract.exitCode == 0)
        << "test: " << v.test.out << "extract: " << v.extract.err;
    sound += v.test.exitCode == 0;
  }
  // Some changes land where nothing checks them (a date, stored bytes).
  EXPECT_GT(sound, 0);
  EXPECT_LT(sound, 100);
}

// A record whose volume number is not three digits: the tool asks for the
// name the engine opens, so the run ends whatever lies next to the archive.
TEST(Agreement, VolumeNumbersOfOtherLengthsEndTheRun) {
  const std::string first = Header(4) + Entry("C:\\B") + Stored("abc") + kEnd;
  const std::string second = kSig + Stored("d") + kEnd + kEnd;
  for (const std::string number : {"2", "02", "+02"}) {
    SCOPED_TRACE(number);
    TempDir dir;
    WriteVolumes(dir, {first + NextDisk(number), second});  // X.001 and X.002
    Child run = RunNorvarc(dir, {"extract", "--trace", dir / "X.001", dir / "dest"}, 10);
    EXPECT_EQ(run.exitCode, 1) << run.err.substr(0, 200);
    EXPECT_EQ(CountLines(run.out, "need-disk\t"), 1);
    EXPECT_NE(run.err.find("X." + number + " is missing"), std::string::npos) << run.err;

    WriteFile(dir / ("X." + number), second, kSampleDate);
    run = RunNorvarc(dir, {"extract", "--trace", dir / "X.001", dir / "dest"}, 10);
    EXPECT_EQ(run.exitCode, 0) << run.err.substr(0, 200);
    EXPECT_EQ(ReadFile(dir / "dest/B"), "abcd");
  }
}

TEST(Agreement, CreateRefusesNamesTheRestoreWouldRefuse) {
  for (const char* name : {"A:B.TXT", "NUL.TXT", "ends.", "q?.txt"}) {
    SCOPED_TRACE(name);
    TempDir dir;
    WriteFile(dir / "src/D/ok.txt", "ok", kSampleDate);
    WriteFile(dir / (std::string("src/D/") + name), "x", kSampleDate);
    const Child made = RunNorvarc(dir, {"create", dir / "X.001", dir / "src/D"});
    EXPECT_EQ(made.exitCode, 1);
    // The source file is named as the tool reads it: Windows-1252, backslashes.
    EXPECT_NE(made.err.find(std::string("\\src\\D\\") + name), std::string::npos) << made.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "X.001"));
  }
}

// Peak memory of a child run, for archives whose fields claim a lot.
TEST(Agreement, NoArchiveMakesMemoryLarge) {
  constexpr long kLimitKiB = 16 * 1024;
  struct Case {
    const char* what;
    std::string start;      // the first bytes of the volume
    bool fails;             // test and extract fail (list goes on past refused names)
    std::int64_t size = 0;  // made this long by a hole
  } cases[] = {
      {"a 64 MiB name in a 1 GiB volume", Header(0) + I32(64 << 20), true, std::int64_t{1} << 30},
      {"a 512 MiB header text", I32(512 << 20), false, std::int64_t{1} << 30},
      {"a name of 20,000 levels",
       Header(3) + Entry("C:\\" + Levels(20000, "A\\") + "F") + Stored("abc") + kEnd + kEnd, true},
      {"a name of 16,000 levels",
       Header(3) + Entry("C:\\" + Levels(16000, "A\\") + "F") + Stored("abc") + kEnd + kEnd, true},
      {"a component of 30,000 characters",
       Header(3) + Entry("C:\\" + std::string(30000, 'N')) + Stored("abc") + kEnd + kEnd, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    WriteFile(dir / "X.001", c.start, kSampleDate);
    if (c.size > 0)
      std::filesystem::resize_file(dir / "X.001", static_cast<std::uintmax_t>(c.size));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"test", dir / "X.001"},
          std::vector<std::string>{"list", dir / "X.001"},
          std::vector<std::string>{"extract", dir / "X.001", dir / "dest"}}) {
      const Child run = RunNorvarc(dir, args);
      EXPECT_NE(run.exitCode, -1) << args[0] << " did not end";
      if (args[0] != "list") {
        EXPECT_EQ(run.exitCode != 0, c.fails) << args[0];
      }
      if (kMeasuresMemory) {
        EXPECT_LT(run.peakKiB, kLimitKiB) << args[0];
      }
    }
    // Nothing was made for a name that is refused.
    EXPECT_FALSE(std::filesystem::exists(dir / "dest/A"));
  }
}

}  // namespace
}  // namespace norv
