#pragma once
// What the engine relies on from a file system, checked against every one:
// in memory, POSIX on a temporary directory, Win32 (under Wine). A binary
// includes this header once and instantiates FileSystemConformance with the
// disks it has (TargetSafetySuite.h's Disk); each disk starts empty.
#include <gtest/gtest.h>

#include <string>

#include "platform/DosDate.h"
#include "platform/Errors.h"
#include "platform/WriteBehind.h"
#include "tests/robustness/TargetSafetySuite.h"

namespace norv::robustness {

class FileSystemConformance : public ::testing::TestWithParam<DiskKind> {
 protected:
  void SetUp() override { disk_ = GetParam().make(); }
  FileSystem& Files() { return disk_->Files(); }
  bool IgnoresCase() const { return disk_->IgnoresCase(); }

  void Put(const std::string& name, const std::string& bytes) {
    Files().CreateWrite(name)->WriteExactly(bytes.data(), bytes.size());
  }
  // Writes a file and dates it before closing, as the restore does.
  void PutDated(const std::string& name, const std::string& bytes, std::int32_t stamp) {
    auto out = Files().CreateWrite(name);
    out->WriteExactly(bytes.data(), bytes.size());
    out->SetDosDate(stamp);
  }
  std::string Get(const std::string& name) {
    auto in = Files().OpenRead(name);
    std::string bytes(static_cast<std::size_t>(in->Size()), '\0');
    in->ReadExactly(bytes.data(), bytes.size());
    return bytes;
  }

 private:
  std::unique_ptr<Disk> disk_;
};

TEST_P(FileSystemConformance, MissingNamesAreReportedNotCreated) {
  FileSystem& fs = Files();
  EXPECT_EQ(fs.FileStamp("C:\\NONE.TXT"), -1);
  EXPECT_FALSE(fs.FileExists("C:\\NONE.TXT"));
  EXPECT_FALSE(fs.DirectoryExists("C:\\NONE"));
  EXPECT_THROW(fs.OpenRead("C:\\NONE.TXT"), EFOpenError);
  EXPECT_THROW(fs.OpenWrite("C:\\NONE.TXT"), EFOpenError);
  EXPECT_THROW(fs.CreateWrite("C:\\NONE\\A.TXT"), EFCreateError);
  EXPECT_FALSE(fs.RemoveFile("C:\\NONE.TXT"));
  EXPECT_FALSE(fs.FileExists("C:\\NONE.TXT"));
  EXPECT_FALSE(fs.DirectoryExists("C:\\NONE"));
}

TEST_P(FileSystemConformance, StreamsReadWriteAndSeekLikeAFile) {
  auto out = Files().CreateWrite("C:\\A.BIN");
  EXPECT_EQ(out->Write("hello", 5), 5u);
  EXPECT_EQ(out->Size(), 5);
  EXPECT_EQ(out->Position(), 5);
  EXPECT_EQ(out->Seek(-2, SeekOrigin::End), 3);
  char two[2] = {};
  EXPECT_EQ(out->Read(two, 2), 2u);  // CreateWrite's stream reads too
  EXPECT_EQ(std::string(two, 2), "lo");
  EXPECT_EQ(out->Read(two, 2), 0u);               // at the end
  EXPECT_EQ(out->Seek(8, SeekOrigin::Begin), 8);  // past the end is allowed...
  EXPECT_EQ(out->Size(), 5);                      // ...and grows nothing by itself
  EXPECT_EQ(out->Write("!", 1), 1u);
  EXPECT_EQ(out->Seek(-1, SeekOrigin::Current), 8);
  out.reset();
  EXPECT_EQ(Get("C:\\A.BIN"), std::string("hello\0\0\0!", 9));

  auto in = Files().OpenRead("C:\\A.BIN");
  char byte = 0;
  EXPECT_EQ(in->Seek(1, SeekOrigin::Begin), 1);
  EXPECT_EQ(in->Read(&byte, 1), 1u);
  EXPECT_EQ(byte, 'e');
  in->Seek(-1, SeekOrigin::End);
  EXPECT_THROW(in->ReadExactly(two, 2), EReadError) << "only one byte was left";
}

TEST_P(FileSystemConformance, CreateWriteEmptiesOpenWriteKeepsAndStartsAtZero) {
  Put("C:\\A.TXT", "hello");
  auto patch = Files().OpenWrite("C:\\A.TXT");
  EXPECT_EQ(patch->Position(), 0);
  EXPECT_EQ(patch->Size(), 5);
  patch->WriteExactly("HE", 2);
  patch.reset();
  EXPECT_EQ(Get("C:\\A.TXT"), "HEllo");

  Files().CreateWrite("C:\\A.TXT").reset();
  EXPECT_EQ(Get("C:\\A.TXT"), "");
  EXPECT_TRUE(Files().FileExists("C:\\A.TXT"));
}

TEST_P(FileSystemConformance, SetDosDateIsTheStampAfterClosing) {
  const std::int32_t stamp = PackDosDate({2019, 11, 24, 13, 45, 58});
  PutDated("C:\\DATED.TXT", "x", stamp);
  EXPECT_EQ(Files().FileStamp("C:\\DATED.TXT"), stamp);
}

TEST_P(FileSystemConformance, ForceDirectoriesMakesEveryLevelAndNamesTheBlocker) {
  FileSystem& fs = Files();
  EXPECT_TRUE(fs.ForceDirectories("C:\\A\\B\\C\\"));
  for (const char* dir : {"C:\\A", "C:\\A\\B", "C:\\A\\B\\C"}) {
    EXPECT_TRUE(fs.DirectoryExists(dir)) << dir;
    EXPECT_EQ(fs.FileStamp(dir), -1) << "a directory is no file: " << dir;
  }
  EXPECT_TRUE(fs.ForceDirectories("C:\\A\\B"));
  EXPECT_TRUE(fs.ForceDirectories("C:"));
  EXPECT_TRUE(fs.ForceDirectories("C:\\"));
  EXPECT_THROW(fs.ForceDirectories(""), EInOutError);

  Put("C:\\A\\FILE", "x");
  std::string reason;
  EXPECT_FALSE(fs.ForceDirectories("C:\\A\\FILE\\SUB", &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(Get("C:\\A\\FILE"), "x");
}

TEST_P(FileSystemConformance, DirectoriesAreNeitherOpenedNorRemovedAsFiles) {
  ASSERT_TRUE(Files().ForceDirectories("C:\\DIR"));
  EXPECT_THROW(Files().CreateWrite("C:\\DIR"), EFCreateError);
  EXPECT_THROW(Files().OpenWrite("C:\\DIR"), EFOpenError);
  EXPECT_FALSE(Files().RemoveFile("C:\\DIR"));
  EXPECT_TRUE(Files().DirectoryExists("C:\\DIR"));
}

TEST_P(FileSystemConformance, MoveOverReplacesBytesAndStampOrLeavesTheSource) {
  const std::int32_t stamp = PackDosDate({2001, 2, 3, 4, 5, 6});
  Put("C:\\OLD.TXT", "old contents");
  PutDated("C:\\NEW.TMP", "new", stamp);
  Files().MoveOver("C:\\NEW.TMP", "C:\\OLD.TXT");
  EXPECT_EQ(Get("C:\\OLD.TXT"), "new");
  EXPECT_EQ(Files().FileStamp("C:\\OLD.TXT"), stamp);
  EXPECT_FALSE(Files().FileExists("C:\\NEW.TMP"));

  Put("C:\\FRESH.TMP", "fresh");
  Files().MoveOver("C:\\FRESH.TMP", "C:\\FRESH.TXT");
  EXPECT_EQ(Get("C:\\FRESH.TXT"), "fresh");

  ASSERT_TRUE(Files().ForceDirectories("C:\\DIR"));
  Put("C:\\KEEP.TMP", "kept");
  EXPECT_THROW(Files().MoveOver("C:\\KEEP.TMP", "C:\\DIR"), EFReplaceError);
  EXPECT_EQ(Get("C:\\KEEP.TMP"), "kept");
  EXPECT_TRUE(Files().DirectoryExists("C:\\DIR"));
}

// A file larger than a few write-out strides, written block by block as the
// restore writes it (the disks send such a file to the disk while it grows),
// is whole and in order after the move, and so is the next one.
TEST_P(FileSystemConformance, LargeFilesArriveWholeThroughTheMove) {
  constexpr std::size_t kBlock = 16384;
  constexpr std::size_t kBlocks = 3 * (WriteBehind::kStride / kBlock) + 7;
  const std::int32_t stamp = PackDosDate({2004, 5, 6, 7, 8, 10});
  std::string block(kBlock, '\0');
  for (const char* name : {"C:\\BIG1.BIN", "C:\\BIG2.BIN"}) {
    auto out = Files().CreateWrite("C:\\BIG.TMP");
    for (std::size_t i = 0; i < kBlocks; ++i) {
      for (std::size_t j = 0; j < kBlock; j += 8) block[j] = static_cast<char>(i * 31 + j);
      out->WriteExactly(block.data(), block.size());
    }
    out->SetDosDate(stamp);
    EXPECT_EQ(out->Size(), static_cast<std::int64_t>(kBlocks * kBlock));
    out.reset();
    Files().MoveOver("C:\\BIG.TMP", name);
  }
  for (const char* name : {"C:\\BIG1.BIN", "C:\\BIG2.BIN"}) {
    const std::string bytes = Get(name);
    ASSERT_EQ(bytes.size(), kBlocks * kBlock);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < kBlocks; ++i) {
      for (std::size_t j = 0; j < kBlock; j += 8) {
        wrong += bytes[i * kBlock + j] != static_cast<char>(i * 31 + j);
      }
    }
    EXPECT_EQ(wrong, 0u) << name;
    EXPECT_EQ(Files().FileStamp(name), stamp);
  }
}

// The restore asks one question per target (Status) and, for a target that
// is there, whether it can be replaced before it writes anything.
TEST_P(FileSystemConformance, StatusAndCheckReplaceableAnswerForEveryKindOfName) {
  const std::int32_t stamp = PackDosDate({2003, 4, 5, 6, 7, 8});
  PutDated("C:\\FILE.TXT", "kept", stamp);
  ASSERT_TRUE(Files().ForceDirectories("C:\\DIR"));

  const FileStatus file = Files().Status("C:\\FILE.TXT");
  EXPECT_EQ(file.kind, FileKind::kFile);
  EXPECT_EQ(file.stamp, stamp);
  EXPECT_EQ(Files().Status("C:\\DIR").kind, FileKind::kDirectory);
  EXPECT_EQ(Files().Status("C:\\DIR").stamp, -1);
  EXPECT_EQ(Files().Status("C:\\NONE.TXT").kind, FileKind::kNone);
  EXPECT_EQ(Files().Status("C:\\NONE\\A.TXT").kind, FileKind::kNone);

  EXPECT_NO_THROW(Files().CheckReplaceable("C:\\NONE.TXT"));
  EXPECT_NO_THROW(Files().CheckReplaceable("C:\\FILE.TXT"));
  EXPECT_THROW(Files().CheckReplaceable("C:\\DIR"), Exception);
  // Asking touches nothing.
  EXPECT_EQ(Get("C:\\FILE.TXT"), "kept");
  EXPECT_EQ(Files().FileStamp("C:\\FILE.TXT"), stamp);
  EXPECT_FALSE(Files().FileExists("C:\\NONE.TXT"));
}

// As on Windows, a name in another case names the same file or directory
// (an accented Windows-1252 letter too); the installer's tests run over the
// in-memory disk in Windows' stead. The POSIX disk is exempt: Linux names
// differ by case.
TEST_P(FileSystemConformance, NamesIgnoreTheCaseOfLetters) {
  if (!IgnoresCase()) GTEST_SKIP() << "names differ by case on this disk";
  ASSERT_TRUE(Files().ForceDirectories("C:\\Dir\\Caf\xE9"));
  Put("C:\\Dir\\Caf\xE9\\Read Me.Txt", "first");
  for (const char* name : {"C:\\DIR\\CAF\xC9\\READ ME.TXT", "c:\\dir\\caf\xE9\\read me.txt"}) {
    EXPECT_EQ(Files().Status(name).kind, FileKind::kFile) << name;
    EXPECT_EQ(Get(name), "first") << name;
  }
  EXPECT_TRUE(Files().DirectoryExists("c:\\DIR\\caf\xC9"));
  std::string reason;
  EXPECT_FALSE(Files().CreateDir("C:\\DIR", reason)) << "it exists";
  EXPECT_THROW(Files().CreateWrite("C:\\DIR\\CAF\xC9"), EFCreateError) << "a directory";

  // Writing, moving over and removing in another case reach the one file.
  Put("C:\\DIR\\CAF\xC9\\READ ME.TXT", "second");
  EXPECT_EQ(Get("C:\\Dir\\Caf\xE9\\Read Me.Txt"), "second");
  Put("C:\\Dir\\Caf\xE9\\New.Tmp", "third");
  Files().MoveOver("c:\\dir\\caf\xE9\\NEW.TMP", "C:\\DIR\\CAF\xC9\\read me.txt");
  EXPECT_EQ(Get("C:\\Dir\\Caf\xE9\\Read Me.Txt"), "third");
  EXPECT_FALSE(Files().FileExists("C:\\Dir\\Caf\xE9\\New.Tmp"));
  EXPECT_TRUE(Files().RemoveFile("C:\\DIR\\CAF\xC9\\READ ME.TXT"));
  EXPECT_FALSE(Files().FileExists("C:\\Dir\\Caf\xE9\\Read Me.Txt"));
}

TEST_P(FileSystemConformance, RemoveFileDeletesOnce) {
  Put("C:\\GONE.TXT", "x");
  EXPECT_TRUE(Files().RemoveFile("C:\\GONE.TXT"));
  EXPECT_FALSE(Files().FileExists("C:\\GONE.TXT"));
  EXPECT_FALSE(Files().RemoveFile("C:\\GONE.TXT"));
}

}  // namespace norv::robustness
