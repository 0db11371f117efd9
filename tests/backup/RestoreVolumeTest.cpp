// Multi-volume archives: continuation, the volume request and its prompt.
#include "backup/TargetFile.h"
#include "tests/backup/RestoreFixture.h"

namespace norv::testing {
namespace {

// C:\V holds "abc" in the first volume and "def" in the next; C:\W follows.
std::string FirstVolume(const std::string& number = "002") {
  return Header(6) + Entry("C:\\V") + Stored("abc") + kEnd + NextDisk(number);
}
const std::string kSecondVolume = kSig + Compressed("def") + kEnd + Entry("C:\\W") + kEnd + kEnd;

TEST_F(RestoreTest, EntryContinuesInSecondVolume) {
  log.Attach(backup, true);
  fs.AddFile("D:\\UPD\\ARC.002", kSecondVolume);
  EXPECT_TRUE(Restore(FirstVolume()));
  EXPECT_EQ(fs.FileBytes("C:\\V"), "abcdef");
  EXPECT_EQ(fs.Stamp("C:\\V"), kDate);
  EXPECT_EQ(log.events, (Lines{"restore C:\\V yes", "progress C:\\V 50", "progress C:\\V 50",
                               "restored C:\\V at 3", "disk 2", "progress C:\\V 100",
                               "progress C:\\V 100", "restored C:\\V at 6", "restore C:\\W yes",
                               "progress C:\\W 100", "restored C:\\W at 0", "progress  100"}));
}

TEST_F(RestoreTest, ContinuationOfAVetoedEntryIsPassedOver) {
  log.Attach(backup, true);
  log.onRestoreFile = [](std::string& name, bool& yes) { yes = name != "C:\\V"; };
  fs.AddFile("D:\\UPD\\ARC.002", kSecondVolume);
  EXPECT_TRUE(Restore(FirstVolume()));
  EXPECT_EQ(fs.Files(), (Lines{"C:\\W", kArchive, "D:\\UPD\\ARC.002"}));
  EXPECT_EQ(log.Count("restored"), 1);
}

TEST_F(RestoreTest, VolumeChangeBeforeAnyEntryContinuesNothing) {
  log.Attach(backup, true);
  fs.AddFile("D:\\UPD\\ARC.002", kSecondVolume);
  EXPECT_TRUE(Restore(Header(0) + NextDisk("002")));
  EXPECT_EQ(fs.Files(), (Lines{"C:\\W", kArchive, "D:\\UPD\\ARC.002"}));
}

TEST_F(RestoreTest, PromptNamesTheDisplayFormAndOpensTheNumberedVolume) {
  for (const char* number : {"002", "010"}) {
    MemoryFileSystem files;
    ScriptedUserInterface dialogs;
    TBackupFile component(files, dialogs);
    files.AddFile(kArchive, FirstVolume(number));
    files.AddFile(std::string("D:\\UPD\\ARC.") + number, kSecondVolume);
    EXPECT_TRUE(component.Restore(kArchive, "C:"));
    EXPECT_EQ(files.FileBytes("C:\\V"), "abcdef");
    ASSERT_EQ(dialogs.Dialogs().size(), 1u);
    EXPECT_EQ(dialogs.Dialogs()[0].text, std::string("Please insert disk ") +
                                             (number[1] == '1' ? "10" : "2") +
                                             " and click OK to continue.");
    EXPECT_EQ(dialogs.Dialogs()[0].kind, DialogKind::Information);
    EXPECT_EQ(dialogs.Dialogs()[0].buttons, DialogButtons::OkCancel);
  }
  log.Attach(backup, true);
  fs.AddFile("D:\\UPD\\ARC.010", kSecondVolume);
  EXPECT_TRUE(Restore(FirstVolume("010")));
  EXPECT_EQ(log.events[4], "disk 10");
}

TEST_F(RestoreTest, PromptRepeatsWhileMissingAndCancelEndsTheRun) {
  for (auto answer : {DialogResult::Ok, DialogResult::Ok, DialogResult::Cancel}) {
    ui.QueueAnswer(answer);
  }
  EXPECT_FALSE(Restore(FirstVolume()));
  EXPECT_EQ(ui.Dialogs().size(), 3u);
  EXPECT_EQ(log.events.back(), "progress  100");
  EXPECT_EQ(backup.ErrorCode(), 0);

  ui.QueueAnswer(DialogResult::Cancel);  // also when the volume is there
  fs.AddFile("D:\\UPD\\ARC.002", kSecondVolume);
  fs.AddFile("C:\\V", "old", 7);
  EXPECT_FALSE(backup.Restore(kArchive, "C:"));
  EXPECT_EQ(fs.FileBytes("C:\\V"), "old") << "half an entry never replaces the file";
  EXPECT_EQ(fs.Stamp("C:\\V"), 7);
  EXPECT_FALSE(fs.HasFile("C:\\W"));
  EXPECT_FALSE(fs.HasFile(TargetFile::TemporaryName("C:\\V")));
}

TEST_F(RestoreTest, OldFileStaysUntilTheLastPartIsWritten) {
  log.Attach(backup, true);
  fs.AddFile("C:\\V", "old", 7);
  fs.AddFile("D:\\UPD\\ARC.002", kSecondVolume);
  log.onNeedDisk = [&](bool&) {
    EXPECT_EQ(fs.FileBytes("C:\\V"), "old");
    EXPECT_EQ(fs.FileBytes(TargetFile::TemporaryName("C:\\V")), "abc");
  };
  EXPECT_TRUE(Restore(FirstVolume()));
  EXPECT_EQ(fs.FileBytes("C:\\V"), "abcdef");
  EXPECT_EQ(fs.Stamp("C:\\V"), kDate);
  EXPECT_EQ(fs.Files(), (Lines{"C:\\V", "C:\\W", kArchive, "D:\\UPD\\ARC.002"}));
}

TEST_F(RestoreTest, RenameBetweenPartsPlacesThePartAndAppendsToTheNewName) {
  log.Attach(backup, true);
  fs.AddFile("C:\\R", "r:", 7);
  fs.AddFile("D:\\UPD\\ARC.002", kSecondVolume);
  backup.OnFileRestored = [&](TBackupFile&, std::string& name, TFileStream& stream) {
    log.events.push_back("restored " + name + " at " + std::to_string(stream.Position()));
    if (name == "C:\\V") name = "C:\\R";
  };
  EXPECT_TRUE(Restore(FirstVolume()));
  EXPECT_EQ(fs.FileBytes("C:\\V"), "abc");
  EXPECT_EQ(fs.Stamp("C:\\V"), kDate);
  EXPECT_EQ(fs.FileBytes("C:\\R"), "r:def");
  EXPECT_EQ(fs.Stamp("C:\\R"), kDate);
  EXPECT_EQ(log.Count("restored C:\\R at 5"), 1) << "positioned after the appended bytes";
  EXPECT_EQ(fs.Files(), (Lines{"C:\\R", "C:\\V", "C:\\W", kArchive, "D:\\UPD\\ARC.002"}));
}

TEST_F(RestoreTest, NeedDiskAskedAgainUntilTheVolumeAppears) {
  log.Attach(backup, true);
  int asked = 0;
  log.onNeedDisk = [&](bool&) {
    if (++asked == 3) fs.AddFile("D:\\UPD\\ARC.002", kSecondVolume);
  };
  EXPECT_TRUE(Restore(FirstVolume()));
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(fs.FileBytes("C:\\V"), "abcdef");
}

TEST_F(RestoreTest, VolumeChangeFailuresLeaveRestoreAfterClosingTheFile) {
  struct Row {
    std::string what, volume, message;
    std::function<void(FaultFileSystem&)> fault;
    long restored;
  } rows[] = {
      {"no open", kSecondVolume, "Cannot open file",
       [](auto& f) { f.FailOpen("D:\\UPD\\ARC.002"); }, 1},
      {"no reopen", kSecondVolume, "Cannot open file",
       [](auto& f) { f.FailOpen(TargetFile::TemporaryName("C:\\V")); }, 1},
      {"signature", "EC2A" + kEnd + kEnd, "Invalid archive type", nullptr, 2},
      {"short block", kSig + Stored("d") + I32(-5) + "e", "Stream read error", nullptr, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MemoryFileSystem files;
    FaultFileSystem faulty(files);
    TBackupFile component(faulty, ui);
    Recorder events;
    events.Attach(component, true);
    events.onNeedDisk = [&](bool&) {
      files.SetNow(kDate + 9);  // writes from here on change the stamp
      if (row.fault) row.fault(faulty);
    };
    files.AddFile("C:\\V", "old", 7);
    files.AddFile(kArchive, FirstVolume());
    files.AddFile("D:\\UPD\\ARC.002", row.volume);
    EXPECT_EQ(Raised([&] { component.Restore(kArchive, "C:"); }).rfind(row.message, 0), 0u);
    EXPECT_EQ(events.Count("restored"), row.restored);
    EXPECT_EQ(files.FileBytes("C:\\V"), "old");
    EXPECT_EQ(files.Stamp("C:\\V"), 7);
    EXPECT_FALSE(files.HasFile(TargetFile::TemporaryName("C:\\V")));
    EXPECT_EQ(files.OpenHandles(), 0);
    EXPECT_EQ(events.Count("progress  100"), 0);
  }
}

}  // namespace
}  // namespace norv::testing
