// The file system conformance and target-safety suites over
// Win32FileSystem, and what its MoveOver does with a target that another
// program holds open, a read-only one, a folder, and the attributes and date
// of a replaced file.
#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/win32/SystemErrorText.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/robustness/FileSystemConformanceSuite.h"
#include "tests/robustness/TargetSafetySuite.h"
#include "tests/win32/TempFolder.h"

namespace norv::robustness {
namespace {

using win32::testing::TempFolder;

class Win32Disk : public Disk {
 public:
  FileSystem& Files() override { return fs_; }

 private:
  TempFolder dir_;
  Win32FileSystem fs_{dir_.Path()};
};

const auto kWin32Disk =
    ::testing::Values(DiskKind{"Win32", [] { return std::make_unique<Win32Disk>(); }});
std::string DiskName(const ::testing::TestParamInfo<DiskKind>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Disks, TargetSafety, kWin32Disk, DiskName);
INSTANTIATE_TEST_SUITE_P(Disks, FileSystemConformance, kWin32Disk, DiskName);

void Put(FileSystem& fs, const std::string& name, const std::string& bytes, std::int32_t date) {
  auto file = fs.CreateWrite(name);
  file->WriteExactly(bytes.data(), bytes.size());
  file->SetDosDate(date);
}

std::string Bytes(FileSystem& fs, const std::string& name) {
  std::string bytes;
  ReadWhole(fs, name, bytes);
  return bytes;
}

// The reason MoveOver gave, or "moved".
std::string MoveOverOutcome(FileSystem& fs, const std::string& from, const std::string& to) {
  try {
    fs.MoveOver(from, to);
  } catch (const Exception& e) {
    return e.Reason();
  }
  return "moved";
}

TEST(Win32MoveOver, ReplacesKeepingAttributesAndTakesTheNewDate) {
  TempFolder dir;
  Win32FileSystem fs;
  Put(fs, dir / "T.EXE", "old", kInstalledDate);
  SetFileAttributesA((dir / "T.EXE").c_str(), FILE_ATTRIBUTE_HIDDEN);
  Put(fs, dir / "T.EXE.norvtmp", "new", kUpdateDate);
  EXPECT_EQ(MoveOverOutcome(fs, dir / "T.EXE.norvtmp", dir / "T.EXE"), "moved");
  EXPECT_EQ(Bytes(fs, dir / "T.EXE"), "new");
  EXPECT_EQ(fs.FileStamp(dir / "T.EXE"), kUpdateDate);
  EXPECT_TRUE(GetFileAttributesA((dir / "T.EXE").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(fs.FileExists(dir / "T.EXE.norvtmp"));

  Put(fs, dir / "N.EXE.norvtmp", "fresh", kUpdateDate);  // no target yet
  EXPECT_EQ(MoveOverOutcome(fs, dir / "N.EXE.norvtmp", dir / "N.EXE"), "moved");
  EXPECT_EQ(Bytes(fs, dir / "N.EXE"), "fresh");
  EXPECT_EQ(fs.FileStamp(dir / "N.EXE"), kUpdateDate);
}

TEST(Win32MoveOver, RefusesATargetInUseReadOnlyOrAFolder) {
  TempFolder dir;
  Win32FileSystem fs;
  Put(fs, dir / "USED.EXE", "old", kInstalledDate);
  Put(fs, dir / "RO.EXE", "old", kInstalledDate);
  SetFileAttributesA((dir / "RO.EXE").c_str(), FILE_ATTRIBUTE_READONLY);
  CreateDirectoryA((dir / "DIR").c_str(), nullptr);
  // Another program holds USED.EXE open without sharing.
  HANDLE held = CreateFileA((dir / "USED.EXE").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (const char* target : {"USED.EXE", "RO.EXE", "DIR"}) {
    SCOPED_TRACE(target);
    Put(fs, dir / "new.norvtmp", "new", kUpdateDate);
    const std::string reason = MoveOverOutcome(fs, dir / "new.norvtmp", dir / target);
    EXPECT_NE(reason, "moved");
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(fs.FileExists(dir / "new.norvtmp")) << "the new file is left for the caller";
    fs.RemoveFile(dir / "new.norvtmp");
  }
  CloseHandle(held);
  EXPECT_EQ(Bytes(fs, dir / "USED.EXE"), "old");
  EXPECT_EQ(fs.FileStamp(dir / "USED.EXE"), kInstalledDate);
  EXPECT_EQ(Bytes(fs, dir / "RO.EXE"), "old");
  SetFileAttributesA((dir / "RO.EXE").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32FileSystemReasons, FailuresCarryTheSystemsText) {
  TempFolder dir;
  Win32FileSystem fs;
  Put(fs, dir / "NORV", "a file where a folder goes", kInstalledDate);
  std::string reason;
  EXPECT_FALSE(fs.ForceDirectories(dir / "NORV\\SUB", &reason));
  EXPECT_FALSE(reason.empty());
  try {
    fs.OpenRead(dir / "absent.txt");
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Reason(), win32::SystemErrorText(ERROR_FILE_NOT_FOUND));
  }
}

}  // namespace
}  // namespace norv::robustness
