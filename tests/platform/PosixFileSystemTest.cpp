#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/posix/PosixFileSystem.h"

namespace norv {
namespace {

// Names are Windows-1252; on the host they are UTF-8, below the drive root
// taken as it is (even when the root's own name is not ASCII).
TEST(PosixFileSystemTest, MapsWindows1252NamesToUtf8Paths) {
  const auto root = std::filesystem::temp_directory_path() / "norv-posix-\xC3\xA7";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root);
  PosixFileSystem fs(root.string());

  EXPECT_EQ(fs.NativePath("C:\\DIR\\A\xC7\xC3O.TXT"),
            root.string() + "/DIR/A\xC3\x87\xC3\x83O.TXT");
  EXPECT_TRUE(fs.ForceDirectories("C:\\CONFIGURA\xC7\xC3O"));
  fs.CreateWrite("C:\\CONFIGURA\xC7\xC3O\\\x80.TXT")->Write("x", 1);
  EXPECT_TRUE(std::filesystem::exists(root / "CONFIGURA\xC3\x87\xC3\x83O/\xE2\x82\xAC.TXT"));
  EXPECT_TRUE(fs.FileExists("C:\\CONFIGURA\xC7\xC3O\\\x80.TXT"));
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace norv
