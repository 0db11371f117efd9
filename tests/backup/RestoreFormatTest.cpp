// Restoring well-formed archives: the layout, blocks, modes and events.
#include "tests/backup/RestoreFixture.h"

namespace norv::testing {
namespace {

TEST_F(RestoreTest, OneStoredFileByteByByte) {
  const unsigned char bytes[] = {
      0,    0,    0,    0,    3,   0,   0,   0,   0,   0,    0,    0,    10,   0,   0,   0,   'C',
      ':',  '\\', 'A',  '\\', 'B', '.', 'T', 'X', 'T', 0x8F, 0x52, 0x6F, 0x30, 'E', 'C', '2', 0,
      0xFD, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 0,   0,   0,    0,    0,    0,    0,   0};
  EXPECT_TRUE(Restore(std::string(reinterpret_cast<const char*>(bytes), sizeof bytes)));
  EXPECT_EQ(fs.FileBytes("C:\\A\\B.TXT"), "abc");
  EXPECT_EQ(fs.Stamp("C:\\A\\B.TXT"), kDate);
  EXPECT_EQ(log.events,
            (Lines{"restore C:\\A\\B.TXT yes", "progress C:\\A\\B.TXT 100",
                   "progress C:\\A\\B.TXT 100", "restored C:\\A\\B.TXT at 3", "progress  100"}));
  EXPECT_EQ(ui.ServeCount(), 2);
  EXPECT_TRUE(ui.Dialogs().empty());
}

TEST_F(RestoreTest, SmallestArchiveAndMissingFirstVolume) {
  EXPECT_FALSE(backup.Restore("D:\\NONE.001", "C:"));
  EXPECT_TRUE(log.events.empty());
  EXPECT_TRUE(Restore(Header(0) + kEnd));
  EXPECT_EQ(log.events, Lines{"progress  100"});
  EXPECT_EQ(fs.Files(), Lines{kArchive});
}

TEST_F(RestoreTest, BlocksRecordsAndFileList) {
  std::string noise(20000, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7 % 251);
  const std::string big(16384, 'y');
  EXPECT_TRUE(Restore(Header(0) + Entry("FILE:LIST") + Compressed("list") + kEnd + I32(-1) +
                      Entry("D:\\APP\\DATA\\X.DBF") + Compressed("hello ") + Stored("world") +
                      Compressed(noise) + kEnd + I32(-7) + Entry("D:\\Y") + Stored(big) +
                      Compressed(big) + kEnd + kEnd));
  EXPECT_EQ(fs.FileBytes("C:\\APP\\DATA\\X.DBF"), "hello world" + noise.substr(0, 16384));
  EXPECT_EQ(fs.FileBytes("C:\\Y"), big + big);
  EXPECT_EQ(fs.Directories(), (Lines{"C:\\APP", "C:\\APP\\DATA", "D:\\UPD"}));
  EXPECT_EQ(log.events[0], "restore C:\\APP\\DATA\\X.DBF yes") << "no event for the file list";
}

TEST_F(RestoreTest, DestinationRules) {
  struct Row {
    std::string destination;
    bool fullPath;
    std::string written;
  } rows[] = {{"C:", true, "C:\\APP\\X"},
              {"C:\\", true, "C:\\APP\\X"},
              {"C:", false, "C:\\X"},
              {"", false, "D:\\APP\\X"},
              {"E:\\T", true, "E:\\T\\APP\\X"}};
  for (const Row& row : rows) {
    MemoryFileSystem files;
    TBackupFile component(files, ui);
    component.SetRestoreFullPath(row.fullPath);
    files.AddFile(kArchive, Header(1) + Entry("D:\\APP\\X") + Stored("z") + kEnd + kEnd);
    EXPECT_TRUE(component.Restore(kArchive, row.destination));
    EXPECT_EQ(files.FileBytes(row.written), "z") << row.destination;
  }
}

TEST_F(RestoreTest, RestoreModeDecidesAgainstTheTargetStamp) {
  struct Row {
    TRestoreMode mode;
    std::int32_t stamp;  // of the file already there; 0: none
    bool written;
  } rows[] = {{rmAll, kDate + 1, true},
              {rmNoOverwrite, 0, true},
              {rmNoOverwrite, kDate - 1, false},
              {rmNewer, 0, true},
              {rmNewer, kDate, false},
              {rmNewer, kDate - 1, true},
              {rmExisting, 0, false},
              {rmExisting, kDate + 1, true},
              {rmExistingNewer, 0, false},
              {rmExistingNewer, kDate, false},
              {rmExistingNewer, kDate - 1, true},
              {rmNewer, INT32_MIN, true}};
  for (const Row& row : rows) {
    MemoryFileSystem files;
    TBackupFile component(files, ui);
    Recorder events;
    events.Attach(component, false);
    component.SetRestoreMode(row.mode);
    if (row.stamp != 0) files.AddFile("C:\\F", "old", row.stamp);
    files.AddFile(kArchive, Header(3) + Entry("C:\\F") + Stored("new") + kEnd + kEnd);
    EXPECT_TRUE(component.Restore(kArchive, "C:"));
    SCOPED_TRACE(::testing::Message() << "mode " << int(row.mode) << " stamp " << row.stamp);
    EXPECT_EQ(events.events[0], std::string("restore C:\\F ") + (row.written ? "yes" : "no"));
    EXPECT_EQ(files.HasFile("C:\\F") && files.FileBytes("C:\\F") == "new", row.written);
    EXPECT_EQ(events.Count("progress C:"), row.written ? 2 : 0);
  }
}

TEST_F(RestoreTest, HandlerAnswerAndNewNameWin) {
  backup.SetRestoreMode(rmExisting);  // proposes no for both
  log.onRestoreFile = [](std::string& name, bool& yes) {
    yes = name != "C:\\A";
    if (name == "C:\\B") name = "C:\\NEW\\DIR\\B2";
  };
  EXPECT_TRUE(Restore(Header(2) + Entry("C:\\A") + Stored("a") + kEnd + Entry("C:\\B") +
                      Stored("b") + kEnd + kEnd));
  EXPECT_EQ(fs.Files(), (Lines{"C:\\NEW\\DIR\\B2", kArchive}));
  EXPECT_EQ(log.events, (Lines{"restore C:\\A no", "restore C:\\B no",
                               "progress C:\\NEW\\DIR\\B2 50", "progress C:\\NEW\\DIR\\B2 50",
                               "restored C:\\NEW\\DIR\\B2 at 1", "progress  100"}));
}

TEST_F(RestoreTest, ProgressRoundsHalfToEven) {
  EXPECT_TRUE(Restore(Header(8) + Entry("C:\\P") + Stored("1") + Stored("234") + kEnd + kEnd));
  EXPECT_EQ(log.events, (Lines{"restore C:\\P yes", "progress C:\\P 12", "progress C:\\P 50",
                               "progress C:\\P 50", "restored C:\\P at 4", "progress  100"}));
}

TEST_F(RestoreTest, ContinueFalseAfterFirstBlockStopsTheRun) {
  log.onProgress = [](bool& go) { go = false; };
  EXPECT_FALSE(Restore(Header(6) + Entry("C:\\S") + Stored("a") + Stored("b") + Stored("c") + kEnd +
                       Entry("C:\\T") + Stored("t") + kEnd + kEnd));
  EXPECT_FALSE(fs.HasFile("C:\\S")) << "an entry cut short is never put in place";
  EXPECT_EQ(fs.Files(), Lines{kArchive});
  EXPECT_EQ(log.events, (Lines{"restore C:\\S yes", "progress C:\\S 17", "restored C:\\S at 1",
                               "progress  100"}));
}

TEST_F(RestoreTest, BadAdlerIsCompressionErrorAndTheRunGoesOn) {
  std::string zlib = Deflate("payload");
  zlib.back() ^= 0x55;
  backup.OnError = nullptr;
  std::vector<bool> flags;
  log.onProgress = [&](bool& go) {
    flags.push_back(go);
    go = true;
  };
  EXPECT_FALSE(Restore(Header(9) + Entry("C:\\Z") + Zlib(zlib) + Stored("!") + kEnd +
                       Entry("C:\\N") + Stored("n") + kEnd + kEnd));
  EXPECT_FALSE(fs.HasFile("C:\\Z")) << "a damaged entry is never put in place";
  EXPECT_EQ(fs.FileBytes("C:\\N"), "n");
  EXPECT_FALSE(flags.at(0)) << "the flag arrives false after the faulty block";
  ASSERT_EQ(ui.Dialogs().size(), 1u);
  EXPECT_EQ(ui.Dialogs()[0].text, "Compression error");
  EXPECT_EQ(ui.Dialogs()[0].kind, DialogKind::Error);
  EXPECT_EQ(ui.Dialogs()[0].buttons, DialogButtons::Ok);
}

}  // namespace
}  // namespace norv::testing
