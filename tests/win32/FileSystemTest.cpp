#include <gtest/gtest.h>

#include "platform/DosDate.h"
#include "platform/Errors.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/win32/TempFolder.h"

namespace norv {
namespace {

using win32::testing::TempFolder;

TEST(Win32FileSystem, WritesSeeksAndReadsBack) {
  TempFolder dir;
  Win32FileSystem fs;
  {
    auto out = fs.CreateWrite(dir / "a.bin");
    out->WriteExactly("hello world", 11);
    EXPECT_EQ(out->Size(), 11);
    EXPECT_EQ(out->Seek(6, SeekOrigin::Begin), 6);
    out->WriteExactly("WORLD", 5);
  }
  auto in = fs.OpenRead(dir / "a.bin");
  char buffer[32] = {};
  EXPECT_EQ(in->Read(buffer, sizeof buffer), 11u);
  EXPECT_EQ(std::string(buffer), "hello WORLD");
  EXPECT_EQ(in->Read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(in->Seek(-5, SeekOrigin::End), 6);
  EXPECT_EQ(in->Position(), 6);
}

TEST(Win32FileSystem, DosDatesRoundTripAsLocalTime) {
  TempFolder dir;
  Win32FileSystem fs;
  const DosDateTime dates[] = {{1980, 1, 1, 0, 0, 0},
                               {2024, 2, 29, 23, 59, 58},
                               {2026, 7, 15, 12, 34, 56},
                               {2107, 12, 31, 23, 59, 58},
                               {1999, 6, 30, 12, 0, 2}};
  for (const auto& date : dates) {
    const std::int32_t stamp = PackDosDate(date);
    ASSERT_NE(stamp, -1);
    {
      auto out = fs.CreateWrite(dir / "dated.txt");
      out->WriteExactly("x", 1);
      out->SetDosDate(stamp);
    }
    EXPECT_EQ(fs.FileStamp(dir / "dated.txt"), stamp) << date.year << "-" << date.month;
  }
}

TEST(Win32FileSystem, StampIsMinusOneForMissingFoldersAndWildcards) {
  TempFolder dir;
  Win32FileSystem fs;
  fs.CreateWrite(dir / "present.txt");
  EXPECT_NE(fs.FileStamp(dir / "present.txt"), -1);
  EXPECT_TRUE(fs.FileExists(dir / "present.txt"));
  EXPECT_EQ(fs.FileStamp(dir / "absent.txt"), -1);
  EXPECT_EQ(fs.FileStamp(dir.Path()), -1);
  EXPECT_EQ(fs.FileStamp(dir / "*.txt"), -1);
  EXPECT_EQ(fs.FileStamp(dir / "present.tx?"), -1);
  EXPECT_TRUE(fs.DirectoryExists(dir.Path()));
  EXPECT_FALSE(fs.DirectoryExists(dir / "present.txt"));
}

TEST(Win32FileSystem, ReadersShareWritersDoNot) {
  TempFolder dir;
  Win32FileSystem fs;
  const std::string name = dir / "shared.txt";
  fs.CreateWrite(name)->WriteExactly("data", 4);
  {
    auto first = fs.OpenRead(name);
    EXPECT_NO_THROW(fs.OpenRead(name));
    EXPECT_THROW(fs.OpenWrite(name), EFOpenError);
    EXPECT_THROW(fs.CreateWrite(name), EFCreateError);
  }
  {
    auto writer = fs.OpenWrite(name);
    EXPECT_THROW(fs.OpenRead(name), EFOpenError);
  }
  {
    auto writer = fs.CreateWrite(name);
    EXPECT_THROW(fs.OpenRead(name), EFOpenError);
  }
}

TEST(Win32FileSystem, OpenErrorNamesFullPathAndSystemReason) {
  TempFolder dir;
  Win32FileSystem fs;
  SetCurrentDirectoryA(dir.Path().c_str());
  try {
    fs.OpenRead("Dados.txt");
    FAIL() << "no exception";
  } catch (const EFOpenError& e) {
    const std::string prefix = "Cannot open file \"" + fs.ExpandFileName("Dados.txt") + "\". ";
    const std::string message = e.what();
    ASSERT_EQ(message.compare(0, prefix.size(), prefix), 0) << message;
    const std::string reason = message.substr(prefix.size());
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(reason.back(), '.');
    EXPECT_GT(static_cast<unsigned char>(reason.back()), 32);
  }
  EXPECT_EQ(fs.ExpandFileName("Dados.txt"), dir / "Dados.txt");
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  SetCurrentDirectoryA(temp);
}

TEST(Win32FileSystem, DeviceNamesAreNotFiles) {
  TempFolder dir;
  Win32FileSystem fs;
  for (const char* device : {"NUL", "NUL.TXT", "CON"}) {
    EXPECT_THROW(fs.CreateWrite(dir / device), EFCreateError) << device;
    EXPECT_THROW(fs.OpenRead(dir / device), EFOpenError) << device;
  }
}

TEST(Win32FileSystem, ForceDirectoriesMakesEveryLevel) {
  TempFolder dir;
  Win32FileSystem fs;
  fs.ForceDirectories(dir / "a\\b\\c\\");
  EXPECT_TRUE(fs.DirectoryExists(dir / "a"));
  EXPECT_TRUE(fs.DirectoryExists(dir / "a\\b"));
  EXPECT_TRUE(fs.DirectoryExists(dir / "a\\b\\c"));
}

TEST(Win32FileSystem, DriveRootPlacesDriveNamesBelowIt) {
  TempFolder dir;
  Win32FileSystem fs(dir.Path() + "\\");
  EXPECT_EQ(fs.NativePath("C:\\NORV\\RH.EXE"), dir / "NORV\\RH.EXE");
  EXPECT_EQ(fs.NativePath("d:RH.EXE"), dir / "RH.EXE");
  EXPECT_EQ(fs.NativePath("PacRH.001"), "PacRH.001");
  EXPECT_EQ(Win32FileSystem().NativePath("C:\\X"), "C:\\X");
  fs.ForceDirectories("C:\\NORV\\SUB");
  fs.CreateWrite("C:\\NORV\\SUB\\F.TXT")->WriteExactly("1", 1);
  EXPECT_NE(Win32FileSystem().FileStamp(dir / "NORV\\SUB\\F.TXT"), -1);
  EXPECT_NE(fs.FileStamp("C:\\NORV\\SUB\\F.TXT"), -1);
}

}  // namespace
}  // namespace norv
