// ArchiveReader on archives spelled byte by byte: what it yields, and the
// problems it reports for damaged or hostile input without crashing.
#include <gtest/gtest.h>
#include <zlib.h>

#include "TestSupport.h"
#include "backup/ArchiveFormat.h"
#include "backup/ArchiveReader.h"

namespace norv {
namespace {

using testing::kSampleDate;
using testing::ReadArchive;
using testing::TempDir;
using testing::WriteFile;

std::string I32(std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  return {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
          static_cast<char>(u >> 24)};
}
std::string Text(const std::string& s) {
  return I32(static_cast<std::int32_t>(s.size())) + s;
}
std::string Header(std::int32_t total) {
  return Text("") + I32(total) + I32(0);
}
const std::string kSig("EC2\0", 4);
std::string Stored(const std::string& bytes) {
  return I32(-static_cast<std::int32_t>(bytes.size())) + bytes;
}
std::string Zlib(const std::string& bytes) {
  uLongf size = compressBound(bytes.size());
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size,
            reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(), 9);
  out.resize(size);
  return out;
}
std::string Compressed(const std::string& zlib) {
  return I32(static_cast<std::int32_t>(zlib.size())) + zlib;
}
std::string Entry(const std::string& name, const std::string& blocks) {
  return Text(name) + I32(kSampleDate) + kSig + blocks + I32(0);
}

struct Volumes {
  TempDir dir;
  std::string Write(const std::vector<std::string>& volumes) {
    for (std::size_t i = 0; i < volumes.size(); ++i) {
      WriteFile(dir / ("X." + archive::VolumeDigits(static_cast<int>(i + 1))), volumes[i],
                kSampleDate);
    }
    return dir / "X.001";
  }
};

TEST(ArchiveReader, ReadsTheSmallestAndAOneFileArchive) {
  Volumes v;
  auto empty = ReadArchive(v.Write({Header(0) + I32(0)}));
  EXPECT_TRUE(empty.complete);
  EXPECT_TRUE(empty.records.empty());
  EXPECT_TRUE(empty.problems.empty());

  auto one = ReadArchive(v.Write({Header(3) + Entry("C:\\A\\B.TXT", Stored("abc")) + I32(0)}));
  ASSERT_TRUE(one.complete);
  EXPECT_TRUE(one.problems.empty());
  ASSERT_EQ(one.records.size(), 1u);
  EXPECT_EQ(one.records[0].kind, RecordKind::File);
  EXPECT_EQ(one.records[0].date, kSampleDate);
  EXPECT_EQ(one.records[0].dataBytes, 3);
  EXPECT_EQ(one.records[0].storedBlocks, 1);
  EXPECT_EQ(one.records[0].offset, 12);
  EXPECT_EQ(one.contents["C:\\A\\B.TXT"], "abc");
}

TEST(ArchiveReader, FollowsVolumesAndPassesOverNegativeLengths) {
  Volumes v;
  std::string first = Header(6) + Entry("C:\\A", Stored("ab")) + I32(-1) +
                      Entry("C:\\B", Stored("c")) + Text("NEXT:DISK002");
  std::string second = kSig + Compressed(Zlib("def")) + I32(0) + I32(0);
  auto back = ReadArchive(v.Write({first, second}));
  ASSERT_TRUE(back.complete);
  EXPECT_TRUE(back.problems.empty()) << back.problems[0].what;
  std::vector<RecordKind> kinds;
  for (const auto& r : back.records) kinds.push_back(r.kind);
  EXPECT_EQ(kinds, (std::vector<RecordKind>{RecordKind::File, RecordKind::Skip, RecordKind::File,
                                            RecordKind::NextDisk, RecordKind::Continued}));
  EXPECT_EQ(back.records[4].name, "C:\\B");
  EXPECT_EQ(back.records[4].volume, 2);
  EXPECT_EQ(back.contents["C:\\B"], "cdef");
}

// Each damaged archive: the problem reported, and whether the walk could go
// on to the end of the archive.
TEST(ArchiveReader, ReportsDamageWithoutCrashing) {
  const std::string zeros(20000, '\0');
  std::string badAdler = Zlib("hello hello hello");
  badAdler.back() ^= 1;
  struct Case {
    const char* label;
    std::vector<std::string> volumes;
    const char* problem;
    bool complete;
  };
  const Case cases[] = {
      {"missing first volume", {}, "is missing", false},
      {"ends in the header", {I32(5) + "ab"}, "does not fit", false},
      {"ends before the total", {Text("") + I32(1)}, "inside the archive header", false},
      {"huge record length",
       {Header(0) + I32(0x7FFFFFFF) + "C:\\A"},
       "exceeds the 4 bytes left",
       false},
      {"huge block length",
       {Header(0) + Text("C:\\A") + I32(kSampleDate) + kSig + I32(INT32_MIN) + "abc"},
       "block length -2147483648 exceeds",
       false},
      {"block beyond 16384 bytes",
       {Header(0) + Entry("C:\\A", I32(-20000) + zeros) + I32(0)},
       "exceeds 16384 bytes",
       true},
      {"wrong signature",
       {Header(0) + Text("C:\\A") + I32(kSampleDate) + "EC2A" + I32(0) + I32(0)},
       "does not begin with \"EC2\"",
       false},
      {"wrong Adler-32",
       {Header(17) + Entry("C:\\A", Compressed(badAdler)) + I32(0)},
       "compression error",
       true},
      {"inflates beyond 16384 bytes",
       {Header(16384) + Entry("C:\\A", Compressed(Zlib(zeros))) + I32(0)},
       "surplus",
       true},
      {"truncated zlib stream",
       {Header(0) + Entry("C:\\A", Compressed(Zlib(zeros).substr(0, 6))) + I32(0)},
       "ends early",
       true},
      {"total differs",
       {Header(9) + Entry("C:\\A", Stored("abc")) + I32(0)},
       "total bytes 9 differ",
       true},
      {"next volume missing",
       {Header(0) + Entry("C:\\A", "") + Text("NEXT:DISK002")},
       "X.002\" is missing",
       false},
      {"volume loop",
       {Header(0) + Entry("C:\\A", "") + Text("NEXT:DISK001")},
       "has been read already",
       false},
      {"no volume number",
       {Header(0) + Entry("C:\\A", "") + Text("NEXT:DISKabc")},
       "no volume number",
       false},
      {"volume change first",
       {Header(0) + Text("NEXT:DISK002"), kSig + I32(0) + I32(0)},
       "before any file entry",
       true},
      {"no end of archive", {Header(0) + Entry("C:\\A", "")}, "inside a record length", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Volumes v;
    std::string first = c.volumes.empty() ? v.dir / "X.001" : v.Write(c.volumes);
    auto back = ReadArchive(first);
    EXPECT_EQ(back.complete, c.complete);
    ASSERT_FALSE(back.problems.empty());
    EXPECT_NE(back.problems[0].what.find(c.problem), std::string::npos) << back.problems[0].what;
  }
}

TEST(ArchiveReader, ProblemsNameTheEntryVolumeAndOffset) {
  Volumes v;
  std::string bad = Zlib("xyz");
  bad[2] ^= 0x55;
  std::string first = Header(3) + Entry("C:\\OK", Stored("ab")) + Text("NEXT:DISK002");
  std::string second = kSig + Stored("c") + Compressed(bad) + I32(0) + I32(0);
  auto back = ReadArchive(v.Write({first, second}));
  ASSERT_FALSE(back.problems.empty());
  EXPECT_EQ(back.problems[0].entry, "C:\\OK");
  EXPECT_EQ(back.problems[0].volume, 2);
  EXPECT_EQ(back.problems[0].offset, 4 + 5);  // after the signature and the stored block
}

// Every byte of a small two-volume archive damaged in turn: the walk ends,
// and whatever it reports stays within the volumes' bytes.
TEST(ArchiveReader, SurvivesEveryDamagedByte) {
  const std::string first = Header(26) + Entry("C:\\A", Compressed(Zlib("hello hello hello"))) +
                            Entry("C:\\B", Stored("abcdef")) + Text("NEXT:DISK002");
  const std::string second = kSig + Stored("xyz") + I32(0) + I32(0);
  Volumes v;
  for (int volume = 0; volume < 2; ++volume) {
    const std::string& original = volume == 0 ? first : second;
    for (std::size_t at = 0; at < original.size(); ++at) {
      for (unsigned char flip : {0x01, 0x80, 0xFF}) {
        std::string damaged = original;
        damaged[at] = static_cast<char>(damaged[at] ^ flip);
        auto back =
            ReadArchive(volume == 0 ? v.Write({damaged, second}) : v.Write({first, damaged}));
        std::int64_t bytes = 0;
        for (const auto& r : back.records) bytes += r.dataBytes;
        EXPECT_LE(bytes, 26 + 16384) << "volume " << volume + 1 << ", byte " << at;
        EXPECT_TRUE(back.complete || !back.problems.empty());
      }
    }
  }
}

// Problems that fail a restore of every file into an empty directory, and
// those it passes over; the walk goes on to the end either way.
TEST(ArchiveReader, TellsWhatFailsARestore) {
  std::string badAdler = Zlib("hello hello hello");
  badAdler.back() ^= 1;
  struct Case {
    const char* label;
    std::string records;
    const char* problem;
    bool failsRestore;
  };
  const Case cases[] = {
      {"device name", Entry("C:\\A\\CON.TXT", Stored("abc")), "refuses this name", true},
      {"climbing name", Entry("C:\\A\\..\\..\\X", Stored("abc")), "refuses this name", true},
      {"damaged file list", Entry("FILE:LIST", Compressed(badAdler)) + Entry("C:\\B", ""),
       "compression error", false},
      {"damaged file", Entry("C:\\B", Compressed(badAdler)), "compression error", true},
      {"a file where a directory was made", Entry("C:\\A\\B", "") + Entry("C:\\A", ""),
       "made a directory of this name", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Volumes v;
    auto back = ReadArchive(v.Write({Header(0) + c.records + I32(0)}));
    EXPECT_TRUE(back.complete);
    ASSERT_FALSE(back.problems.empty());
    EXPECT_NE(back.problems[0].what.find(c.problem), std::string::npos) << back.problems[0].what;
    EXPECT_EQ(back.problems[0].failsRestore, c.failsRestore);
  }
}

}  // namespace
}  // namespace norv
