// What the writer makes, TBackupFile restores: every byte and every date,
// across volumes, at every compression level.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "backup/ArchiveWriter.h"
#include "backup/BackupFile.h"
#include "platform/posix/PosixFileSystem.h"

namespace norv {
namespace {

using testing::FileDate;
using testing::kSampleDate;
using testing::NoiseBytes;
using testing::ReadFile;
using testing::TempDir;
using testing::TextBytes;
using testing::WriteFile;

// No dialog may appear: every event that would show one is handled.
class NoDialogs : public UserInterface {
 public:
  DialogResult MessageDialog(const std::string& text, DialogKind, DialogButtons) override {
    ADD_FAILURE() << "dialog: " << text;
    return DialogResult::Cancel;
  }
  void ServeMessages() override {}
};

TEST(RestoreRoundTrip, WriterArchivesRestoreEveryByteAndDate) {
  struct File {
    std::string relative;
    std::string bytes;
    std::int32_t date;
  };
  const std::vector<File> files = {
      {"APP/TEXT.TXT", TextBytes(45000), kSampleDate},
      {"APP/DATA/NOISE.BIN", NoiseBytes(38000, 3), kSampleDate - 0x10000},  // a day earlier
      {"APP/EMPTY.DAT", "", kSampleDate},
      {"APP/ABC.TXT", "abc", kSampleDate + 0x200000},  // a month later
  };
  for (auto level : {clNone, clFastest, clDefault, clMax}) {
    SCOPED_TRACE("level " + std::to_string(level));
    TempDir dir;
    std::vector<ArchiveEntry> entries;
    for (const auto& f : files) {
      WriteFile(dir / ("src/" + f.relative), f.bytes, f.date);
      std::string stored = "D:\\" + f.relative;
      std::replace(stored.begin(), stored.end(), '/', '\\');
      entries.push_back({stored, dir / ("src/" + f.relative)});
    }
    PosixFileSystem sourceFs;
    ArchiveOptions options;
    options.level = level;
    options.maxSize = 17000;
    options.fileList = true;
    auto summary = WriteArchive(sourceFs, dir / "PACK.001", entries, options);
    ASSERT_GE(summary.volumes.size(), 3u);

    PosixFileSystem fs(dir / "dest");
    std::filesystem::create_directories(dir.Path() / "dest");
    NoDialogs ui;
    TBackupFile backup(fs, ui);
    backup.SetRestoreFullPath(true);
    std::vector<std::string> offered;
    std::vector<int> disks;
    backup.OnRestoreFile = [&](TBackupFile&, std::string& name, std::int32_t, bool&) {
      offered.push_back(name);
    };
    backup.OnNeedDisk = [&](TBackupFile&, std::uint16_t disk, bool& cont) {
      disks.push_back(disk);
      cont = true;
    };
    backup.OnError = [&](TBackupFile&, std::int32_t code, std::string text) {
      ADD_FAILURE() << "error " << code << ": " << text;
    };
    ASSERT_TRUE(backup.Restore(dir / "PACK.001", "C:"));

    std::vector<std::string> expectedOffered;
    for (const auto& e : entries) expectedOffered.push_back("C:\\" + e.storedName.substr(3));
    EXPECT_EQ(offered, expectedOffered);  // never FILE:LIST
    ASSERT_EQ(disks.size(), summary.volumes.size() - 1);
    for (std::size_t i = 0; i < disks.size(); ++i) EXPECT_EQ(disks[i], static_cast<int>(i + 2));
    for (const auto& f : files) {
      std::string restored = dir / ("dest/" + f.relative);
      EXPECT_EQ(ReadFile(restored), f.bytes) << f.relative;
      EXPECT_EQ(FileDate(restored), f.date) << f.relative;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "dest" / "FILE:LIST"));
  }
}

}  // namespace
}  // namespace norv
