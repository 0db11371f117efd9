// The component's pure rules and its property access.
#include <gtest/gtest.h>

#include "backup/NameRules.h"
#include "backup/RestoreRules.h"
#include "tests/backup/RestoreFixture.h"

namespace norv::restore {
namespace {

TEST(RestoreRules, ProgressPercent) {
  struct Row {
    std::int32_t done, total;
    TPercentage percent;
  } rows[] = {{1, 8, 12},  {3, 8, 38},  {5, 8, 62},   {3, 200, 2}, {2, 3, 67},
              {0, 0, 100}, {9, 8, 100}, {5, -1, 100}, {-5, 8, 0},  {INT32_MAX, INT32_MAX, 100}};
  for (const Row& row : rows) {
    EXPECT_EQ(ProgressPercent(row.done, row.total), row.percent) << row.done << "/" << row.total;
  }
}

TEST(RestoreRules, StoredNamesThatLeaveTheDestination) {
  struct Row {
    std::string destination, name;
    bool fullPath, inside;
  } rows[] = {
      {"C:\\", "D:\\..X\\A..\\.", true, true}, {"C:\\", "D:\\A\\..", true, false},
      {"C:\\", "D:\\/ETC\\X", true, false},    {"C:\\", "D:\\A\\..", false, false},
      {"C:\\", "D:\\A\\../X", false, false},   {"C:\\", "D:\\..\\X", false, true},
      {"", "C:\\A\\B", false, true},           {"", "C:\\..\\B", false, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(StaysInsideDestination(row.destination, row.name, row.fullPath), row.inside)
        << row.name << " full " << row.fullPath;
  }
}

TEST(RestoreRules, OnlyADriveRootIsCutOffAStoredName) {
  // Where an entry lands, or "refused".
  struct Row {
    std::string destination, name;
    bool fullPath;
    std::string target;
  } rows[] = {
      {"C:\\", "D:\\APP\\X", true, "C:\\APP\\X"},
      {"C:\\", "APP\\X", true, "C:\\APP\\X"},
      {"C:\\", "D:X.TXT", true, "refused"},
      {"C:\\", "D:/X.TXT", true, "refused"},
      {"C:\\", "D:X.TXT", false, "C:\\X.TXT"},
      {"", "D:\\APP\\X", true, "D:\\APP\\X"},
      {"", "X.TXT", true, "X.TXT"},
      {"", "D:X", false, "refused"},
  };
  for (const Row& row : rows) {
    const bool refused = !names::WhyRefused(row.destination, row.name, row.fullPath).empty();
    EXPECT_EQ(refused ? "refused" : DestinationName(row.destination, row.name, row.fullPath),
              row.target)
        << row.destination << " + " << row.name << " full " << row.fullPath;
  }
}

TEST(BackupFileProperties, VersionAndModeRule) {
  MemoryFileSystem fs;
  ScriptedUserInterface ui;
  TBackupFile backup(fs, ui);
  backup.SetVersion("9.99");
  EXPECT_EQ(backup.Version(), "5.10");
  backup.SetBackupMode(bmIncremental);
  EXPECT_TRUE(backup.SetArchiveFlag());
  backup.SetBackupMode(bmAll);
  EXPECT_TRUE(backup.SetArchiveFlag());
  backup.SetBackupMode(bmIncremental);
  backup.SetSetArchiveFlag(false);
  backup.SetBackupMode(bmIncremental);
  EXPECT_FALSE(backup.SetArchiveFlag()) << "no change, no effect";
}

}  // namespace
}  // namespace norv::restore
