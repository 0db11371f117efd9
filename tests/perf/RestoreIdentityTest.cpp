// Whole restores with the fast decoder and buffered input against zlib
// alone: the same events in the same order, the same result or exception,
// and the same files with the same bytes and dates, for sound archives and
// for damaged ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "backup/BackupFile.h"
#include "platform/MemoryStream.h"
#include "platform/testing/MemoryFileSystem.h"
#include "platform/testing/ScriptedUserInterface.h"
#include "tests/backup/ArchiveBytes.h"
#include "tests/perf/SampleData.h"

namespace norv::testing {
namespace {

constexpr const char* kFirst = "D:\\UPD\\ARC.001";
constexpr const char* kSecond = "D:\\UPD\\ARC.002";

// Everything a restore shows to the outside.
std::vector<std::string> Restore(const std::vector<std::string>& volumes, bool zlibOnly,
                                 bool keepGoing) {
  MemoryFileSystem fs;
  fs.AddFile(kFirst, volumes[0]);
  if (volumes.size() > 1) fs.AddFile(kSecond, volumes[1]);
  ScriptedUserInterface ui;
  TBackupFile backup(fs, ui);
  backup.SetZlibOnly(zlibOnly);
  backup.SetRestoreFullPath(true);
  std::vector<std::string> seen;
  backup.OnRestoreFile = [&](TBackupFile&, std::string& name, std::int32_t fa, bool& yes) {
    seen.push_back("restore " + name + " " + std::to_string(fa) + (yes ? " 1" : " 0"));
  };
  backup.OnProgress = [&](TBackupFile&, std::string name, TPercentage percent, bool& go) {
    seen.push_back("progress " + name + " " + std::to_string(percent) + (go ? " 1" : " 0"));
    if (keepGoing) go = true;
  };
  backup.OnFileRestored = [&](TBackupFile&, std::string& name, TFileStream& stream) {
    seen.push_back("restored " + name + " " + std::to_string(stream.Position()));
  };
  backup.OnNeedDisk = [&](TBackupFile&, std::uint16_t id, bool& go) {
    seen.push_back("disk " + std::to_string(id));
    go = true;
  };
  backup.OnError = [&](TBackupFile&, std::int32_t code, std::string text) {
    seen.push_back("error " + std::to_string(code) + " " + text);
  };
  try {
    seen.push_back(backup.Restore(kFirst, "C:") ? "result 1" : "result 0");
  } catch (const std::exception& e) {
    seen.push_back(std::string("exception ") + e.what());
  }
  for (const auto& name : fs.Files()) {
    seen.push_back("file " + name + " " + std::to_string(fs.Stamp(name)) + " " +
                   fs.FileBytes(name));
  }
  seen.push_back("open handles " + std::to_string(fs.OpenHandles()));
  return seen;
}

// An archive with sound blocks of every kind, over two volumes.
std::vector<std::string> SampleArchive() {
  std::string first = Header(200000) + Entry("C:\\APP\\TEXT.TXT");
  for (int i = 0; i < 5; ++i) first += Compressed(Text(16384, i));
  first += Compressed(Text(3000, 9)) + Stored(Noise(16384, 1)) + Stored("x") + kEnd;
  first += Name("FILE:LIST") + I32(kDate) + kSig + Compressed("C:\\APP\\TEXT.TXT\r\n") + kEnd;
  first += Entry("C:\\APP\\EMPTY.DAT") + kEnd;
  first += Entry("C:\\APP\\BIG.DAT") + Compressed(Text(20000, 3)) +  // surplus dropped
           Compressed(Noise(9000, 2)) + Compressed("") + kEnd;
  first += I32(-1);  // a skipped record length
  first += Entry("C:\\DATA\\SPLIT.BIN") + Compressed(Text(16384, 40)) + kEnd + NextDisk("002");
  std::string second = kSig + Compressed(Text(12000, 41)) + Stored("tail") + kEnd;
  second += Entry("C:\\DATA\\LAST.TXT") + Compressed(Text(700, 5)) + kEnd + kEnd;
  return {first, second};
}

TEST(RestoreIdentity, SoundArchiveRestoresTheSameWithEitherDecoder) {
  const auto volumes = SampleArchive();
  const auto reference = Restore(volumes, true, false);
  EXPECT_NE(std::find(reference.begin(), reference.end(), "result 1"), reference.end());
  EXPECT_EQ(Restore(volumes, false, false), reference);
}

// Every byte of the first volume damaged in turn (a stride keeps it quick),
// and the volume cut short at every such offset: bad checksums, broken
// deflate data, wrong lengths, signatures and names.
TEST(RestoreIdentity, DamagedArchivesRestoreTheSameWithEitherDecoder) {
  const auto sound = SampleArchive();
  int compared = 0;
  for (std::size_t at = 0; at < sound[0].size(); at += 131) {
    for (bool keepGoing : {false, true}) {
      auto damaged = sound;
      damaged[0][at] = static_cast<char>(damaged[0][at] ^ 0x5A);
      ASSERT_EQ(Restore(damaged, false, keepGoing), Restore(damaged, true, keepGoing))
          << "byte " << at << " damaged";
      auto cut = sound;
      cut[0].resize(at);
      ASSERT_EQ(Restore(cut, false, keepGoing), Restore(cut, true, keepGoing)) << "cut at " << at;
      compared += 2;
    }
  }
  EXPECT_GT(compared, 500);
}

// Buffered reading must leave the caller's source stream where reading the
// archive record by record leaves it: after the end of the archive.
TEST(RestoreIdentity, SourceStreamEndsRightAfterTheArchive) {
  const std::string archive = Header(3) + Entry("C:\\A.TXT") + Stored("abc") + kEnd + kEnd;
  MemoryFileSystem fs;
  ScriptedUserInterface ui;
  TBackupFile backup(fs, ui);
  MemoryStream source("prefix" + archive + std::string(100000, 'z'));
  source.Seek(6, SeekOrigin::Begin);
  backup.SetSourceStream(&source);
  EXPECT_TRUE(backup.Restore(":STREAM", "C:"));
  EXPECT_EQ(source.Position(), static_cast<std::int64_t>(6 + archive.size()));
  EXPECT_EQ(fs.FileBytes("C:\\A.TXT"), "abc");
}

// Passing over an entry seeks past its blocks: of 160 KiB of data only the
// fields around them are read.
TEST(RestoreIdentity, PassingOverReadsNoData) {
  class CountingStream : public MemoryStream {
   public:
    using MemoryStream::MemoryStream;
    std::size_t Read(void* buffer, std::size_t count) override {
      const std::size_t got = MemoryStream::Read(buffer, count);
      read += got;
      return got;
    }
    std::size_t read = 0;
  };
  std::string archive = Header(0) + Entry("C:\\SKIP.DAT");
  for (int i = 0; i < 10; ++i) archive += Stored(Noise(16384, i));
  archive += kEnd + kEnd;
  CountingStream source(archive);
  MemoryFileSystem fs;
  ScriptedUserInterface ui;
  TBackupFile backup(fs, ui);
  backup.SetRestoreMode(rmExisting);  // nothing exists: every entry is passed over
  backup.SetSourceStream(&source);
  EXPECT_TRUE(backup.Restore(":STREAM", "C:"));
  EXPECT_LT(source.read, 1000u);
  EXPECT_EQ(source.Position(), static_cast<std::int64_t>(archive.size()));
}

}  // namespace
}  // namespace norv::testing
