// All-or-nothing restores: a three-volume update that replaces files, adds
// files and makes directories, stopped at every change of the disk (a kill,
// or a power cut that forgets what was not flushed), then recovered: the
// destination is wholly the old tree, or wholly the new one after a commit.
#include <map>
#include <tuple>

#include "backup/RestoreJournal.h"
#include "tests/backup/RestoreFixture.h"

namespace norv::testing {
namespace {

constexpr std::int32_t kOldDate = 0x2C210000;

// Files (bytes, date) and directories below C:.
using Tree = std::tuple<std::map<std::string, std::pair<std::string, std::int32_t>>, Lines>;

Tree TreeOf(const MemoryFileSystem& fs) {
  std::map<std::string, std::pair<std::string, std::int32_t>> files;
  for (const std::string& name : fs.Files()) {
    if (name.starts_with("C:")) files[name] = {fs.FileBytes(name), fs.Stamp(name)};
  }
  return {files, fs.Directories()};
}

void Configure(TBackupFile& component, bool allOrNothing) {
  component.SetAllOrNothing(allOrNothing);
  component.SetRestoreFullPath(true);
}

void AddOldTree(MemoryFileSystem& fs) {
  fs.AddFile("C:\\APP\\A.EXE", "old A", kOldDate);
  fs.AddFile("C:\\APP\\B.DLL", "old B", kOldDate);
  fs.AddFile("C:\\APP\\KEEP.TXT", "kept", kOldDate);
}

// A.EXE and B.DLL replaced (B across volumes 2 and 3), NEW\C.DAT across
// volumes 1 and 2, DEEP\ER\D.TXT added: 4 + 2 + 2 + 4 + 2 + 4 bytes.
void AddUpdate(MemoryFileSystem& fs, const std::string& third = {}) {
  fs.AddFile(kArchive, Header(18) + Entry("C:\\APP\\A.EXE") + Stored("newA") + kEnd +
                           Entry("C:\\APP\\NEW\\C.DAT") + Stored("c1") + kEnd + NextDisk("002"));
  fs.AddFile("D:\\UPD\\ARC.002", kSig + Compressed("c2") + kEnd + Entry("C:\\APP\\B.DLL") +
                                     Stored("newB") + kEnd + NextDisk("003"));
  fs.AddFile("D:\\UPD\\ARC.003", !third.empty() ? third
                                                : kSig + Stored("B2") + kEnd +
                                                      Entry("C:\\APP\\DEEP\\ER\\D.TXT") +
                                                      Compressed("dddd") + kEnd + kEnd);
}

class AllOrNothingTest : public ::testing::Test {
 protected:
  AllOrNothingTest() {
    AddOldTree(fs);
    AddUpdate(fs);
    oldTree = TreeOf(fs);
    MemoryFileSystem done;
    AddOldTree(done);
    AddUpdate(done);
    FaultFileSystem counting(done);
    TBackupFile component(counting, ui);
    Configure(component, true);
    EXPECT_TRUE(component.Restore(kArchive, "C:"));
    changes = counting.Changes();
    bytesWritten = counting.BytesWritten();
    newTree = TreeOf(done);
  }

  // One run stopped before change `crashAt`; true when it was.
  bool CrashedRun(MemoryFileSystem& files, long crashAt) {
    FaultFileSystem faults(files);
    faults.CrashAt(crashAt);
    TBackupFile component(faults, ui);
    Configure(component, true);
    try {
      component.Restore(kArchive, "C:");
    } catch (const SimulatedCrash&) {
      return true;
    }
    return false;
  }

  // Recovers `files` and checks the tree and that nothing of ours is left.
  void ExpectRecovered(MemoryFileSystem& files, const std::string& where) {
    TBackupFile component(files, ui);
    const Recovery recovery = component.Recover("C:");
    EXPECT_TRUE(recovery.failures.empty()) << where;
    EXPECT_EQ(TreeOf(files), recovery.committed ? newTree : oldTree) << where;
    (recovery.committed ? sawNew : sawOld) = true;
    for (const std::string& name : files.Files()) {
      EXPECT_EQ(name.find(".norv"), std::string::npos) << where << ": " << name;
    }
  }

  MemoryFileSystem fs;
  ScriptedUserInterface ui;
  Tree oldTree, newTree;
  long changes = 0;
  std::int64_t bytesWritten = 0;
  bool sawOld = false, sawNew = false;
};

TEST_F(AllOrNothingTest, KillOrPowerCutAtEveryChangeRecoversWhollyOldOrNew) {
  ASSERT_NE(oldTree, newTree);
  for (const bool powerCut : {false, true}) {
    for (long crashAt = 1; crashAt <= changes; ++crashAt) {
      MemoryFileSystem files;
      AddOldTree(files);
      AddUpdate(files);
      ASSERT_TRUE(CrashedRun(files, crashAt));
      if (powerCut) files.PowerCut();
      ExpectRecovered(files, (powerCut ? "power cut at " : "kill at ") + std::to_string(crashAt));
    }
  }
  EXPECT_TRUE(sawOld);
  EXPECT_TRUE(sawNew);
}

TEST_F(AllOrNothingTest, KillDuringRecoveryIsRecoveredByTheNextOne) {
  for (long crashAt = 1; crashAt <= changes; ++crashAt) {
    for (long recoveryCrash = 1;; ++recoveryCrash) {
      MemoryFileSystem files;
      AddOldTree(files);
      AddUpdate(files);
      CrashedRun(files, crashAt);
      files.PowerCut();
      FaultFileSystem faults(files);
      faults.CrashAt(recoveryCrash);
      TBackupFile interrupted(faults, ui);
      bool crashed = false;
      try {
        interrupted.Recover("C:");
      } catch (const SimulatedCrash&) {
        crashed = true;
      }
      if (recoveryCrash % 2 == 0) files.PowerCut();
      ExpectRecovered(
          files, "run " + std::to_string(crashAt) + ", recovery " + std::to_string(recoveryCrash));
      if (!crashed) break;
    }
  }
}

TEST_F(AllOrNothingTest, EveryFailureLeavesTheOldTreeWithTheSameEvents) {
  const std::string damaged = kSig + Stored("B2") + kEnd + Entry("C:\\APP\\DEEP\\ER\\D.TXT") +
                              Zlib("not zlib") + kEnd + kEnd;
  struct Case {
    const char* what;
    std::string third;
    std::function<void(FaultFileSystem&, Recorder&)> arrange;
  };
  const std::vector<Case> cases = {
      {"damaged block", damaged, {}},
      {"missing volume",
       {},
       [](FaultFileSystem&, Recorder& r) {
         r.onNeedDisk = [n = 0](bool& go) mutable { go = ++n < 2; };
       }},
      {"locked target", {}, [](FaultFileSystem& f, Recorder&) { f.Lock("C:\\APP\\B.DLL"); }},
      {"stopped",
       {},
       [](FaultFileSystem&, Recorder& r) {
         r.onProgress = [n = 0](bool& go) mutable { go = ++n < 4; };
       }},
      {"cannot read", kSig + Stored("B2"), {}},
  };
  for (const Case& c : cases) {
    Lines events[2];
    for (const bool allOrNothing : {false, true}) {
      MemoryFileSystem files;
      AddOldTree(files);
      AddUpdate(files, c.third);
      FaultFileSystem faults(files);
      TBackupFile component(faults, ui);
      Configure(component, allOrNothing);
      Recorder recorder;
      recorder.Attach(component, true);
      if (c.arrange) c.arrange(faults, recorder);
      try {
        EXPECT_FALSE(component.Restore(kArchive, "C:")) << c.what;
      } catch (const std::exception& e) {
        recorder.events.push_back(std::string("exception ") + e.what());
      }
      events[allOrNothing] = recorder.events;
      if (!allOrNothing) continue;
      EXPECT_EQ(TreeOf(files), oldTree) << c.what;
      EXPECT_FALSE(files.HasFile(journal::JournalName("C:\\"))) << c.what;
      EXPECT_EQ(files.OpenHandles(), 0) << c.what;
    }
    EXPECT_EQ(events[0], events[1]) << c.what;
  }
}

TEST_F(AllOrNothingTest, SuccessHasTheSameEventsAndLeavesOnlyTheNewTree) {
  Lines events[2];
  for (const bool allOrNothing : {false, true}) {
    MemoryFileSystem files;
    AddOldTree(files);
    AddUpdate(files);
    TBackupFile component(files, ui);
    Configure(component, allOrNothing);
    Recorder recorder;
    recorder.Attach(component, true);
    EXPECT_TRUE(component.Restore(kArchive, "C:"));
    events[allOrNothing] = recorder.events;
    EXPECT_EQ(TreeOf(files), newTree);
  }
  EXPECT_EQ(events[0], events[1]);
}

TEST_F(AllOrNothingTest, DiskFullAtEveryByteLeavesTheOldTreeAndSaysSo) {
  for (std::int64_t room = 0; room < bytesWritten; ++room) {
    MemoryFileSystem files;
    AddOldTree(files);
    AddUpdate(files);
    FaultFileSystem faults(files);
    faults.LimitWrites(room);
    TBackupFile component(faults, ui);
    Configure(component, true);
    component.OnError = [](TBackupFile&, std::int32_t, std::string) {};
    EXPECT_FALSE(component.Restore(kArchive, "C:")) << room;
    EXPECT_EQ(component.FailureReason(), FaultFileSystem::kDiskFull) << room;
    EXPECT_TRUE(component.Undone()) << room;
    EXPECT_EQ(TreeOf(files), oldTree) << room;
  }
}

TEST_F(AllOrNothingTest, TooLittleFreeSpaceTouchesNothing) {
  fs.SetFreeSpace((1 << 20) + 17);
  FaultFileSystem faults(fs);
  TBackupFile component(faults, ui);
  Configure(component, true);
  Recorder recorder;
  recorder.Attach(component, true);
  EXPECT_FALSE(component.Restore(kArchive, "C:"));
  EXPECT_EQ(faults.Changes(), 0);
  EXPECT_EQ(component.FailedFileName(), "C:\\");
  EXPECT_EQ(component.FailureReason(),
            "There is not enough space on the disk: 1048594 bytes needed, 1048593 free");
  EXPECT_EQ(recorder.events, (Lines{"progress  100", "error 1 Cannot read file"}));
}

TEST_F(AllOrNothingTest, TornTailIsIgnoredAndAForeignJournalIsNeverApplied) {
  const std::string journalName = journal::JournalName("C:\\");
  const std::string foreignName = journal::JournalName("C:\\OTHER\\");
  MemoryFileSystem foreign;
  AddOldTree(foreign);
  AddUpdate(foreign);
  for (MemoryFileSystem* files : {&fs, &foreign}) {
    ASSERT_TRUE(CrashedRun(*files, changes / 2));
    files->AddFile(journalName, files->FileBytes(journalName) + I32(40) + I32(7) + "\x03torn");
  }
  ExpectRecovered(fs, "torn tail");

  // The same journal found at another destination names other files.
  foreign.AddFile(foreignName, foreign.FileBytes(journalName));
  TBackupFile component(foreign, ui);
  const Recovery recovery = component.Recover("C:\\OTHER");
  ASSERT_EQ(recovery.failures.size(), 1u);
  EXPECT_EQ(recovery.failures[0].reason, "The journal belongs to another destination");
  EXPECT_TRUE(foreign.HasFile(foreignName));
  EXPECT_THROW(component.Restore(kArchive, "C:\\OTHER"), EBackupError);
}

TEST_F(AllOrNothingTest, AnUndoThatFailsKeepsTheJournalForTheNextRun) {
  // Stopped just after A.EXE's old version was set aside.
  long crashAt = 1;
  for (;; ++crashAt) {
    MemoryFileSystem files;
    AddOldTree(files);
    AddUpdate(files);
    CrashedRun(files, crashAt);
    if (files.HasFile("C:\\APP\\A.EXE.norvold")) break;
    ASSERT_LT(crashAt, changes);
  }
  ASSERT_TRUE(CrashedRun(fs, crashAt));
  FaultFileSystem faults(fs);
  faults.Lock("C:\\APP\\A.EXE");
  TBackupFile component(faults, ui);
  const Recovery blocked = component.Recover("C:");
  ASSERT_EQ(blocked.failures.size(), 1u);
  EXPECT_EQ(blocked.failures[0].file, "C:\\APP\\A.EXE");
  EXPECT_EQ(blocked.failures[0].reason, FaultFileSystem::kInUse);
  EXPECT_TRUE(fs.HasFile(journal::JournalName("C:\\")));
  ExpectRecovered(fs, "after the lock");
  EXPECT_TRUE(sawOld);
}

// A journal many read windows long, as an update of thousands of files
// writes: every record comes back forwards and backwards (as Undo reads),
// and a torn tail ends it.
TEST(RestoreJournalTest, ALongJournalReadsTheSameForwardsAndBackwards) {
  MemoryFileSystem fs;
  const std::string name = journal::JournalName("C:\\");
  std::vector<std::string> written;
  {
    journal::Writer writer(fs, name, "C:\\", "D:\\UPD\\ARC.001");
    for (int i = 0; i < 3000; ++i) {
      written.push_back("C:\\APP\\" + std::string(i % 97, 'N') + std::to_string(i) + ".DAT");
      writer.Append(journal::Kind::kNewFile, written.back());
    }
  }
  fs.AddFile(name, fs.FileBytes(name) + I32(40) + I32(7) + "\x03torn");
  ASSERT_GT(fs.FileBytes(name).size(), 3u * 64 * 1024);

  journal::Reader reader(fs, name);
  journal::Record record;
  ASSERT_TRUE(reader.Next(record));
  EXPECT_EQ(record.kind, journal::Kind::kBegin);
  std::vector<std::int64_t> offsets;
  for (std::int64_t at = reader.Offset(); reader.Next(record); at = reader.Offset()) {
    ASSERT_LT(offsets.size(), written.size());
    EXPECT_EQ(record.name, written[offsets.size()]);
    offsets.push_back(at);
  }
  ASSERT_EQ(offsets.size(), written.size());
  for (std::size_t i = offsets.size(); i-- > 0;) {
    reader.Seek(offsets[i]);
    ASSERT_TRUE(reader.Next(record));
    ASSERT_EQ(record.name, written[i]);
  }
}

}  // namespace
}  // namespace norv::testing
