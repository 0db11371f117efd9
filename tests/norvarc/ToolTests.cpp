// The norvarc program, run as a user runs it. The extract trace is the
// restore engine's external contract: its lines are compared in full.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "backup/RestoreTransaction.h"
#include "platform/posix/PosixFileSystem.h"
#include "tests/backup/ArchiveBytes.h"

namespace norv {
namespace {

using testing::FileDate;
using testing::kSampleDate;
using testing::NoiseBytes;
using testing::Outcome;
using testing::ReadFile;
using testing::RunNorvarc;
using testing::TempDir;
using testing::TextBytes;
using testing::WriteFile;

class ToolTest : public ::testing::Test {
 protected:
  Outcome Run(const std::vector<std::string>& args, const std::string& workDir = "") {
    return RunNorvarc(args, dir / "stderr.txt", workDir);
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  TempDir dir;
};

TEST_F(ToolTest, ExtractTraceOfATwoVolumeArchive) {
  WriteFile(dir / "src/T/a.txt", "abc", kSampleDate);
  WriteFile(dir / "src/T/b.bin", NoiseBytes(20000, 5), kSampleDate);
  WriteFile(dir / "src/T/c.txt", "", kSampleDate);
  auto made = Run({"create", "--level", "none", "--max-size", "17000", "--file-list", "--prefix",
                   "C:\\G", dir / "PACK.001", dir / "src/T"});
  ASSERT_EQ(made.exitCode, 0) << made.err;

  auto run = Run({"extract", "--trace", dir / "PACK.001", dir / "dest"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string fa = std::to_string(kSampleDate);
  const std::vector<std::string> expected = {
      "restore-file\tC:\\G\\T\\a.txt\t" + fa + "\t1",
      "progress\tC:\\G\\T\\a.txt\t0\t1",  // 3 of 20003 bytes
      "progress\tC:\\G\\T\\a.txt\t0\t1",  // its end marker
      "file-restored\tC:\\G\\T\\a.txt\t3",
      "restore-file\tC:\\G\\T\\b.bin\t" + fa + "\t1",
      "progress\tC:\\G\\T\\b.bin\t82\t1",  // 16387 of 20003
      "progress\tC:\\G\\T\\b.bin\t82\t1",
      "file-restored\tC:\\G\\T\\b.bin\t16384",
      "need-disk\t2\t1",
      "progress\tC:\\G\\T\\b.bin\t100\t1",
      "progress\tC:\\G\\T\\b.bin\t100\t1",
      "file-restored\tC:\\G\\T\\b.bin\t20000",
      "restore-file\tC:\\G\\T\\c.txt\t" + fa + "\t1",
      "progress\tC:\\G\\T\\c.txt\t100\t1",
      "file-restored\tC:\\G\\T\\c.txt\t0",
      "progress\t\t100\t1",
      "result\t1",
  };
  EXPECT_EQ(Lines(run.out), expected);
  EXPECT_EQ(ReadFile(dir / "dest/G/T/b.bin"), NoiseBytes(20000, 5));
}

TEST_F(ToolTest, CompressionErrorTraceStopsOrGoesOnWithKeepGoing) {
  const std::string text = TextBytes(5000);
  WriteFile(dir / "src/x.txt", text, kSampleDate);
  ASSERT_EQ(Run({"create", dir / "BAD.001", dir / "src/x.txt"}).exitCode, 0);
  // Damage the Adler-32 trailer: the last byte before the two end markers.
  std::string bytes = ReadFile(dir / "BAD.001");
  bytes[bytes.size() - 9] ^= 1;
  WriteFile(dir / "BAD.001", bytes, kSampleDate);

  const std::string fa = std::to_string(kSampleDate);
  auto stopped = Run({"extract", "--trace", dir / "BAD.001", dir / "d1"});
  EXPECT_EQ(stopped.exitCode, 1);
  EXPECT_EQ(Lines(stopped.out), (std::vector<std::string>{
                                    "restore-file\tC:\\x.txt\t" + fa + "\t1",
                                    "progress\tC:\\x.txt\t100\t0",
                                    "file-restored\tC:\\x.txt\t5000",
                                    "progress\t\t100\t0",
                                    "error\t6\tCompression error",
                                    "result\t0",
                                }));
  EXPECT_NE(stopped.err.find("Compression error"), std::string::npos);

  auto kept = Run({"extract", "--trace", "--keep-going", dir / "BAD.001", dir / "d2"});
  EXPECT_EQ(kept.exitCode, 1);
  EXPECT_EQ(Lines(kept.out), (std::vector<std::string>{
                                 "restore-file\tC:\\x.txt\t" + fa + "\t1",
                                 "progress\tC:\\x.txt\t100\t0",
                                 "progress\tC:\\x.txt\t100\t1",
                                 "file-restored\tC:\\x.txt\t5000",
                                 "progress\t\t100\t1",
                                 "error\t6\tCompression error",
                                 "result\t0",
                             }));
  // A damaged entry never replaces its target, and leaves nothing behind.
  EXPECT_TRUE(std::filesystem::is_empty(dir / "d2"));
  EXPECT_NE(kept.err.find("ERRO: C:\\x.txt: Compression error\n"), std::string::npos) << kept.err;
}

TEST_F(ToolTest, ExtractNamesTheFileThatCouldNotBePlaced) {
  WriteFile(dir / "src/T/a.txt", "abc", kSampleDate);
  ASSERT_EQ(Run({"create", "--prefix", "C:\\G", dir / "P.001", dir / "src/T"}).exitCode, 0);
  WriteFile(dir / "dest/G/T", "a file where the folder goes", kSampleDate);
  auto run = Run({"extract", dir / "P.001", dir / "dest"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("error 1: Cannot read file\nERRO: C:\\G\\T\\a.txt: File exists\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFile(dir / "dest/G/T"), "a file where the folder goes");
}

TEST_F(ToolTest, CreateListTestExtractRoundTripOverThreeVolumes) {
  struct File {
    std::string path;
    std::string bytes;
    std::int32_t date;
  };
  const std::vector<File> files = {
      {"samples/notes.txt", TextBytes(30000), kSampleDate},
      {"samples/bin/noise.bin", NoiseBytes(36000, 9), kSampleDate + 0x20000},
      {"samples/empty.txt", "", kSampleDate - 0x20000},
  };
  for (const auto& f : files) WriteFile(dir / ("src/" + f.path), f.bytes, f.date);

  auto made = Run({"create", "--max-size", "17000", "--file-list", "--title", "Demo", "--prefix",
                   "C:\\NORV\\", dir / "ARC.001", dir / "src/samples"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(Lines(made.out).size(), 4u);  // three volumes and the total
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "ARC.003"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "ARC.004"));

  auto listed = Run({"list", dir / "ARC.001"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  auto lines = Lines(listed.out);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0].rfind("file-list\tFILE:LIST\t", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1], "file\tC:\\NORV\\samples\\bin\\noise.bin\t2004-03-17 10:20:30\t16384\t1");
  EXPECT_EQ(lines.back(), "total\t3 files\t66000 bytes\t3 volumes");

  auto tested = Run({"test", dir / "ARC.001"});
  EXPECT_EQ(tested.exitCode, 0) << tested.out;
  EXPECT_EQ(tested.out.rfind("ok\t3 files\t66000 bytes\t", 0), 0u) << tested.out;

  auto restored = Run({"extract", "--trace", dir / "ARC.001", dir / "dest"});
  ASSERT_EQ(restored.exitCode, 0) << restored.err;
  auto trace = Lines(restored.out);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "need-disk\t2\t1"), 1);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "need-disk\t3\t1"), 1);
  EXPECT_EQ(trace.back(), "result\t1");
  for (const auto& f : files) {
    std::string path = dir / ("dest/NORV/" + f.path);
    EXPECT_EQ(ReadFile(path), f.bytes) << f.path;
    EXPECT_EQ(FileDate(path), f.date) << f.path;
  }

  // --flat puts every file directly below the destination.
  ASSERT_EQ(Run({"extract", "--flat", dir / "ARC.001", dir / "flat"}).exitCode, 0);
  EXPECT_EQ(ReadFile(dir / "flat/noise.bin"), files[1].bytes);
}

TEST_F(ToolTest, MissingVolumeAndDamageAreReported) {
  WriteFile(dir / "src/b.bin", NoiseBytes(20000, 2), kSampleDate);
  ASSERT_EQ(Run({"create", "--max-size", "17000", dir / "V.001", dir / "src/b.bin"}).exitCode, 0);
  std::filesystem::remove(dir.Path() / "V.002");

  auto run = Run({"extract", "--trace", dir / "V.001", dir / "dest"});
  EXPECT_EQ(run.exitCode, 1);
  auto trace = Lines(run.out);
  EXPECT_NE(std::find(trace.begin(), trace.end(), "need-disk\t2\t0"), trace.end());
  EXPECT_EQ(trace.back(), "result\t0");
  EXPECT_NE(run.err.find(dir / "V.002"), std::string::npos) << run.err;

  auto tested = Run({"test", dir / "V.001"});
  EXPECT_EQ(tested.exitCode, 1);
  EXPECT_NE(tested.out.find("(archive)\tvolume 2\toffset 0\tvolume"), std::string::npos)
      << tested.out;
  EXPECT_EQ(Run({"list", dir / "V.001"}).exitCode, 1);
}

TEST_F(ToolTest, CreateLeavesOutTheVolumesOfTheArchiveItMakes) {
  WriteFile(dir / "src/a.txt", "abc", kSampleDate);
  WriteFile(dir / "src/OUT.007", "old volume", kSampleDate);
  ASSERT_EQ(Run({"create", dir / "src/OUT.001", dir / "src"}).exitCode, 0);
  auto again = Run({"create", dir / "src/OUT.001", dir / "src"});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_NE(again.err.find("OUT.001, a volume of the archive"), std::string::npos) << again.err;
  EXPECT_NE(again.err.find("OUT.007, a volume of the archive"), std::string::npos) << again.err;
  auto listed = Lines(Run({"list", dir / "src/OUT.001"}).out);
  EXPECT_EQ(listed.back(), "total\t1 files\t3 bytes\t1 volumes");
}

TEST_F(ToolTest, FailedCreateLeavesNoVolumes) {
  WriteFile(dir / "src/b.bin", NoiseBytes(20000, 4), kSampleDate);
  auto run = Run({"create", "--level", "none", "--max-size", "10000", dir / "F.001", dir / "src"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("too small"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "F.001"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "F.002"));
}

TEST_F(ToolTest, ExceptionLeavingRestoreExitsTwo) {
  // A header that ends early: "Cannot read archive".
  WriteFile(dir / "H.001", std::string("\x00\x00\x00\x00\x01", 5), kSampleDate);
  auto run = Run({"extract", "--trace", dir / "H.001", dir / "dest"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(Lines(run.out), std::vector<std::string>{"exception\tCannot read archive"});
  EXPECT_NE(run.err.find("Cannot read archive"), std::string::npos);
}

// Names are UTF-8 on Linux and Windows-1252 in the archive: "AÇÃO.TXT".
TEST_F(ToolTest, NamesAreWindows1252InTheArchiveAndUtf8OnDisk) {
  const std::string utf8 = "A\xC3\x87\xC3\x83O.TXT";
  WriteFile(dir / ("src/" + utf8), "acao", kSampleDate);
  ASSERT_EQ(Run({"create", dir / "N.001", dir / "src"}).exitCode, 0);

  auto read = testing::ReadArchive(dir / "N.001");
  ASSERT_EQ(read.records.size(), 1u);
  EXPECT_EQ(read.records[0].name, "C:\\src\\A\xC7\xC3O.TXT");
  EXPECT_NE(Run({"list", dir / "N.001"}).out.find("C:\\src\\" + utf8), std::string::npos);

  auto run = Run({"extract", "--trace", dir / "N.001", dir / "dest"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / ("dest/src/" + utf8)), "acao");
  // The trace keeps the names as stored.
  EXPECT_NE(run.out.find("file-restored\tC:\\src\\A\xC7\xC3O.TXT\t"), std::string::npos);
}

TEST_F(ToolTest, CreateRefusesANameThatWindows1252CannotHold) {
  for (const std::string name : {"\xE6\x97\xA5.TXT", "BAD\xFF.TXT"}) {
    SCOPED_TRACE(name);
    TempDir work;
    WriteFile(work / "src/ok.txt", "fine", kSampleDate);
    WriteFile(work / ("src/" + name), "lost", kSampleDate);
    auto run = Run({"create", work / "R.001", work / "src"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(name), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Windows-1252"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(work.Path() / "R.001"));
  }
}

// A stored name with TAB, LF or ESC prints as one field of one line.
TEST_F(ToolTest, ListAndTestEscapeControlCharactersInNames) {
  using namespace norv::testing;
  const std::string forging = "C:\\A\tB\nC:\\WINDOWS\\SYSTEM32\\forged.dll";
  const std::string coloured = "C:\\\x1B[31mRED^\x81.TXT";
  WriteFile(
      dir / "E.001",
      Header(2) + Entry(forging) + Stored("a") + kEnd + Entry(coloured) + Stored("b") + kEnd + kEnd,
      kSampleDate);

  auto listed = Run({"list", dir / "E.001"});
  auto lines = Lines(listed.out);
  ASSERT_EQ(lines.size(), 3u) << listed.out;
  EXPECT_EQ(lines[0].rfind("file\tC:\\A^09B^0AC:\\WINDOWS\\SYSTEM32\\forged.dll\t", 0), 0u);
  EXPECT_EQ(lines[1].rfind("file\tC:\\^1B[31mRED^5E^81.TXT\t", 0), 0u);
  EXPECT_EQ(lines[2].rfind("total\t2 files", 0), 0u);

  for (const auto& run : {listed, Run({"test", dir / "E.001"})}) {
    EXPECT_EQ(run.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(run.err.find('\x1B'), std::string::npos);
    for (const auto& line : Lines(run.out)) EXPECT_NE(line.rfind("C:\\WINDOWS", 0), 0u) << line;
  }
}

// "C:ARC.001" is a file in the current directory, not a name below DEST.
TEST_F(ToolTest, ExtractOpensTheArchiveByTheNameGiven) {
  WriteFile(dir / "src/a.txt", "abc", kSampleDate);
  ASSERT_EQ(Run({"create", dir / "C:ARC.001", dir / "src/a.txt"}).exitCode, 0);
  auto run = Run({"extract", "C:ARC.001", "out"}, dir.Path().string());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "out/a.txt"), "abc");
}

// Leaves in `dest` what an all-or-nothing run killed while writing leaves:
// C:\APP\A.EXE about to be replaced, C:\APP\NEW made, B.DAT being written.
void LeaveAnInterruptedRun(const std::string& dest) {
  WriteFile(dest + "/APP/A.EXE", "old", kSampleDate);
  PosixFileSystem fs(dest, false);
  RestoreTransaction run(fs, "C:\\", "D:\\ARC.001");
  run.WillWrite("C:\\APP\\A.EXE", true);
  WriteFile(dest + "/APP/A.EXE.norvtmp", "new", kSampleDate);
  run.WillMakeDirectories("C:\\APP\\NEW");
  run.WillWrite("C:\\APP\\NEW\\B.DAT", false);
  WriteFile(dest + "/APP/NEW/B.DAT.norvtmp", "new", kSampleDate);
}

TEST_F(ToolTest, RecoverExitsZeroUnlessSomethingCouldNotBePutBack) {
  const std::string dest = dir / "dest";
  std::filesystem::create_directories(dest);
  auto nothing = Run({"recover", dest});
  EXPECT_EQ(nothing.exitCode, 0);
  EXPECT_EQ(nothing.err, "");

  LeaveAnInterruptedRun(dest);
  // A file of someone else's in the folder the run made: the folder stays,
  // and so does the journal, for the next run.
  WriteFile(dest + "/APP/NEW/OTHER.TXT", "not ours", kSampleDate);
  auto blocked = Run({"recover", dest});
  EXPECT_EQ(blocked.exitCode, 1);
  EXPECT_NE(blocked.err.find("could not put back C:\\APP\\NEW: "), std::string::npos)
      << blocked.err;
  EXPECT_TRUE(std::filesystem::exists(dest + "/.norvjournal"));

  std::filesystem::remove(dest + "/APP/NEW/OTHER.TXT");
  auto undone = Run({"recover", dest});
  EXPECT_EQ(undone.exitCode, 0) << undone.err;
  EXPECT_EQ(undone.err, "norvarc recover: the interrupted restore of D:\\ARC.001 was undone\n");
  EXPECT_EQ(ReadFile(dest + "/APP/A.EXE"), "old");
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dest))
    left.push_back(std::filesystem::relative(entry.path(), dest).string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"APP", "APP/A.EXE"}));
  EXPECT_EQ(Run({"recover", dest}).err, "");
}

TEST_F(ToolTest, ExtractFinishesAnInterruptedRunFirstAndSaysSo) {
  WriteFile(dir / "src/APP/C.TXT", "c", kSampleDate);
  ASSERT_EQ(Run({"create", "--prefix", "C:\\", dir / "P.001", dir / "src/APP"}).exitCode, 0);
  const std::string dest = dir / "dest";
  LeaveAnInterruptedRun(dest);
  auto run = Run({"extract", dir / "P.001", dest});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "norvarc extract: the interrupted restore of D:\\ARC.001 was undone\n");
  EXPECT_EQ(ReadFile(dest + "/APP/A.EXE"), "old");
  EXPECT_EQ(ReadFile(dest + "/APP/C.TXT"), "c");
  EXPECT_FALSE(std::filesystem::exists(dest + "/APP/NEW"));
  EXPECT_FALSE(std::filesystem::exists(dest + "/.norvjournal"));

  // A journal that names another destination is never applied.
  PosixFileSystem fs(dest, false);
  journal::Writer foreign(fs, journal::JournalName("C:\\"), "C:\\ELSEWHERE\\", "D:\\X.001");
  for (const char* command : {"recover", "extract"}) {
    auto refused = command == std::string("recover") ? Run({command, dest})
                                                     : Run({command, dir / "P.001", dest});
    EXPECT_EQ(refused.exitCode, 1) << command;
    EXPECT_NE(refused.err.find("another destination"), std::string::npos) << refused.err;
  }
}

TEST_F(ToolTest, HelpAndUsage) {
  for (const char* command : {"create", "list", "test", "extract", "recover"}) {
    auto help = Run({command, "--help"});
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("usage: norvarc ") + command, 0), 0u) << help.out;
  }
  auto top = Run({"--help"});
  EXPECT_EQ(top.exitCode, 0);
  EXPECT_NE(top.out.find("extract"), std::string::npos);

  EXPECT_EQ(Run({}).exitCode, 2);
  EXPECT_EQ(Run({"frobnicate"}).exitCode, 2);
  EXPECT_EQ(Run({"create", "--level", "huge", "A.001", "x"}).exitCode, 2);
  EXPECT_EQ(Run({"create", "--max-size", "0", "A.001", "x"}).exitCode, 2);
  EXPECT_EQ(Run({"extract", "--mode", "sometimes", "A.001", "d"}).exitCode, 2);
  EXPECT_EQ(Run({"list"}).exitCode, 2);
  EXPECT_EQ(Run({"recover"}).exitCode, 2);
}

}  // namespace
}  // namespace norv
