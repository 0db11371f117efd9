// Faults: failed entries recorded as error codes, unreadable archives
// raised as exceptions, and every handle closed on every way out.
#include <optional>

#include "backup/ResourceStrings.h"
#include "backup/TargetFile.h"
#include "platform/MemoryStream.h"
#include "tests/backup/RestoreFixture.h"

namespace norv::testing {
namespace {

TEST_F(RestoreTest, EntryFailuresRecordErrorOneStopTheRunAndKeepTheTarget) {
  const std::string abc = kSig + Stored("abc") + kEnd;
  const std::string temporary = TargetFile::TemporaryName("C:\\F");
  using Fault = std::function<void(MemoryFileSystem&, FaultFileSystem&)>;
  const auto old = [](MemoryFileSystem& m, FaultFileSystem&) { m.AddFile("C:\\F", "old", 7); };
  struct Row {
    std::string what, name, data;
    Fault fault;
    long restoredEvents;              // OnFileRestored fires once the file was begun
    std::optional<std::string> left;  // the target afterwards; nullopt: none
    std::string reason;
  } rows[] = {
      {"read-only", "C:\\F", abc,
       [](auto& m, auto&) { m.AddFile("C:\\F", "old", 7), m.SetReadOnly("C:\\F"); }, 0, "old",
       "Access is denied"},
      {"in use", "C:\\F", abc, [&](auto& m, auto& f) { old(m, f), f.Lock("C:\\F"); }, 0, "old",
       FaultFileSystem::kInUse},
      {"a folder", "C:\\F", abc, [](auto& m, auto&) { m.AddDirectory("C:\\F"); }, 0, std::nullopt,
       "Access is denied"},
      {"create fails", "C:\\F", abc, [&](auto&, auto& f) { f.FailCreate(temporary); }, 0,
       std::nullopt, "Access is denied"},
      {"folder is a file", "C:\\A\\F", abc, [](auto& m, auto&) { m.AddFile("C:\\A", "file"); }, 0,
       std::nullopt, "Cannot create a file when that file already exists"},
      {"folder refused", "C:\\A\\F", abc, [](auto&, auto& f) { f.FailDirectory("C:\\A"); }, 0,
       std::nullopt, "Access is denied"},
      {"signature", "C:\\F", "EC2A" + Stored("abc") + kEnd, old, 1, "old", SInvalidArchive},
      {"volume ends", "C:\\F", kSig + Stored("ab") + I32(-16000) + "x", old, 1, "old",
       "Stream read error"},
      {"read fault", "C:\\F", abc, [&](auto& m, auto& f) { old(m, f), f.FailReadAt(kArchive, 34); },
       1, "old", "Stream read error"},
      {"disk full", "C:\\F", abc, [&](auto& m, auto& f) { old(m, f), f.LimitWrites(2); }, 1, "old",
       FaultFileSystem::kDiskFull},
      {"oversized block", "C:\\F", kSig + Stored("a") + Stored(std::string(16385, 'b')), old, 1,
       "old", "A block is larger than the restore's buffers"},
      {"parent", "C:\\..\\F", abc, nullptr, 0, std::nullopt, ""},
      {"deep parent", "C:\\A\\..\\..\\F", abc, nullptr, 0, std::nullopt, ""},
      {"slash parent", "C:\\A/../../F", abc, nullptr, 0, std::nullopt, ""},
      {"absolute rest", "C:\\\\F", abc, nullptr, 0, std::nullopt, ""},
      {"second drive", "C:\\A\\D:F", abc, nullptr, 0, std::nullopt, ""},
      {"device", "C:\\A\\nul.txt", abc, nullptr, 0, std::nullopt, ""},
      {"forbidden character", "C:\\A\\B?\\F", abc, nullptr, 0, std::nullopt, ""},
      {"trailing dot", "C:\\A.\\F", abc, nullptr, 0, std::nullopt, ""},
      {"path of 260", "C:\\" + std::string(257, 'P'), abc, nullptr, 0, std::nullopt, ""},
      {"directory of 248", "C:\\" + std::string(245, 'D') + "\\F", abc, nullptr, 0, std::nullopt,
       ""},
      {"16,000 levels",
       "C:\\" +
           [] {
             std::string levels;
             for (int i = 0; i < 16000; ++i) levels += "A\\";
             return levels;
           }() +
           "F",
       abc, nullptr, 0, std::nullopt, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MemoryFileSystem files;
    FaultFileSystem faulty(files);
    TBackupFile component(faulty, ui);
    component.SetRestoreFullPath(true);
    Recorder events;
    events.Attach(component, false);
    files.AddFile(kArchive, Header(6) + Name(row.name) + I32(kDate) + row.data + Entry("C:\\G") +
                                Stored("g") + kEnd + kEnd);
    if (row.fault) row.fault(files, faulty);
    const Lines filesBefore = files.Files();
    EXPECT_FALSE(component.Restore(kArchive, "C:\\"));
    EXPECT_EQ(files.OpenHandles(), 0);
    EXPECT_EQ(events.events.back(), "error 1 Cannot read file");
    EXPECT_EQ(events.Count("restore C:\\G"), 0) << "the run must stop";
    EXPECT_EQ(events.Count("restored "), row.restoredEvents);
    EXPECT_EQ(files.Files(), filesBefore) << "no file made, none left behind";
    if (row.left) {
      EXPECT_EQ(files.FileBytes("C:\\F"), *row.left);
      EXPECT_EQ(files.Stamp("C:\\F"), 7) << "the old date stays";
    }
    if (!row.reason.empty()) {
      EXPECT_EQ(component.FailedFileName(), row.name);
      EXPECT_EQ(component.FailureReason(), row.reason);
    } else {
      EXPECT_EQ(events.Count("restore "), 0) << "unsafe names not offered";
      EXPECT_EQ(files.Directories(), Lines{"D:\\UPD"});
    }
  }
}

TEST_F(RestoreTest, DamagedEntryNeverReplacesItsTargetWhileTheRunGoesOn) {
  // A bad Adler-32 on the first entry; the progress handler answers true.
  std::string bad = Deflate("abc");
  bad.back() ^= 1;
  fs.AddFile("C:\\F", "old", 7);
  log.onProgress = [](bool& go) { go = true; };
  EXPECT_FALSE(Restore(Header(4) + Entry("C:\\F") + Zlib(bad) + kEnd + Entry("C:\\G") +
                       Stored("g") + kEnd + kEnd));
  EXPECT_EQ(fs.FileBytes("C:\\F"), "old");
  EXPECT_EQ(fs.Stamp("C:\\F"), 7);
  EXPECT_EQ(fs.FileBytes("C:\\G"), "g") << "later entries are restored";
  EXPECT_EQ(fs.Files(), (Lines{"C:\\F", "C:\\G", kArchive}));
  EXPECT_EQ(log.events.back(), "error 6 Compression error");
  EXPECT_EQ(backup.FailedFileName(), "C:\\F");
}

TEST_F(RestoreTest, StopInsideAnEntryKeepsTheOldFile) {
  fs.AddFile("C:\\F", "old", 7);
  log.onProgress = [](bool& go) { go = false; };
  EXPECT_FALSE(Restore(Header(3) + Entry("C:\\F") + Stored("a") + Stored("bc") + kEnd + kEnd));
  EXPECT_EQ(log.Count("restored C:\\F at 1"), 1) << "the event still comes, after the stop";
  EXPECT_EQ(fs.FileBytes("C:\\F"), "old");
  EXPECT_EQ(fs.Stamp("C:\\F"), 7);
  EXPECT_EQ(fs.Files(), (Lines{"C:\\F", kArchive}));
  EXPECT_EQ(backup.ErrorCode(), 0);
  EXPECT_EQ(backup.FailedFileName(), "");
}

TEST_F(RestoreTest, TargetLockedWhileItsDataIsWrittenIsErrorOne) {
  fs.AddFile("C:\\F", "old", 7);
  ui.SetOnServeMessages([&] { faults.Lock("C:\\F"); });
  EXPECT_FALSE(Restore(Header(4) + Entry("C:\\F") + Stored("abc") + kEnd + Entry("C:\\G") +
                       Stored("g") + kEnd + kEnd));
  EXPECT_EQ(log.Count("restored C:\\F at 3"), 1);
  EXPECT_EQ(log.Count("restore C:\\G"), 0) << "the failed move stops the run";
  EXPECT_EQ(fs.FileBytes("C:\\F"), "old");
  EXPECT_EQ(fs.Files(), (Lines{"C:\\F", kArchive})) << "the temporary file is removed";
  EXPECT_EQ(log.events.back(), "error 1 Cannot read file");
  EXPECT_EQ(backup.FailureReason(), FaultFileSystem::kInUse);
}

TEST_F(RestoreTest, NameGivenByTheHandlerIsCheckedBeforeAnythingIsWritten) {
  // The proposed name is free; the one the handler picks is held by another
  // program, which only asking again finds out.
  fs.AddFile("C:\\HELD", "old", 7);
  faults.Lock("C:\\HELD");
  log.onRestoreFile = [](std::string& name, bool&) { name = "C:\\HELD"; };
  EXPECT_FALSE(Restore(Header(3) + Entry("C:\\FREE") + Stored("abc") + kEnd + kEnd));
  EXPECT_EQ(log.events,
            (Lines{"restore C:\\FREE yes", "progress  100", "error 1 Cannot read file"}));
  EXPECT_EQ(fs.FileBytes("C:\\HELD"), "old");
  EXPECT_EQ(fs.Files(), (Lines{"C:\\HELD", kArchive}));
}

TEST_F(RestoreTest, ErrorReportWithoutHandlerIsAnErrorDialog) {
  backup.OnError = nullptr;
  faults.FailCreate(TargetFile::TemporaryName("C:\\F"));
  EXPECT_FALSE(Restore(Header(0) + Entry("C:\\F") + kEnd + kEnd));
  ASSERT_EQ(ui.Dialogs().size(), 1u);
  EXPECT_EQ(ui.Dialogs()[0].text, "Cannot read file");
  EXPECT_EQ(ui.Dialogs()[0].kind, DialogKind::Error);
}

TEST_F(RestoreTest, UnreadableArchivesRaise) {
  const std::string entry = Entry("C:\\F") + Stored("abc") + kEnd;
  struct Row {
    std::string what, archive, message;
    std::function<void(FaultFileSystem&)> fault;
  } rows[] = {
      {"empty volume", "", "Cannot read archive", nullptr},
      {"header text beyond the end", I32(0x7FFFFFF0) + "x", "Cannot read archive", nullptr},
      {"negative header text", I32(-4) + Header(0), "Cannot read archive", nullptr},
      {"no header value", I32(0) + I32(3), "Cannot read archive", nullptr},
      {"cannot open", Header(0) + kEnd, "Cannot read archive",
       [](auto& f) { f.FailOpen(kArchive); }},
      {"no record length", Header(3) + entry, "Stream read error", nullptr},
      {"name beyond the end", Header(0) + I32(0x7FFFFFFF) + "C:\\X", "Stream read error", nullptr},
      {"skipped, signature", Header(0) + Name("FILE:LIST") + I32(0) + "EC2A" + kEnd,
       "Invalid archive type", nullptr},
      {"skipped, short block", Header(0) + Entry("FILE:LIST") + I32(99) + "x", "Stream read error",
       nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MemoryFileSystem files;
    FaultFileSystem faulty(files);
    TBackupFile component(faulty, ui);
    Recorder events;
    events.Attach(component, false);
    files.AddFile(kArchive, row.archive);
    if (row.fault) row.fault(faulty);
    EXPECT_EQ(Raised([&] { component.Restore(kArchive, "C:"); }), row.message);
    EXPECT_EQ(files.OpenHandles(), 0);
    EXPECT_EQ(events.Count("progress  100"), 0) << "no end-of-run event";
    EXPECT_FALSE(component.Running());
  }
}

TEST_F(RestoreTest, StreamMode) {
  EXPECT_EQ(Raised([&] { backup.Restore(":STREAM", "C:"); }), "Cannot read archive");
  MemoryStream source("prefix" + Header(1) + Entry("C:\\S") + Stored("s") + kEnd + NextDisk("002"));
  source.Seek(6, SeekOrigin::Begin);
  backup.SetSourceStream(&source);
  EXPECT_EQ(Raised([&] { backup.Restore(":STREAM", "C:"); }), "Volume change in a stream archive");
  EXPECT_FALSE(fs.HasFile("C:\\S")) << "its continuation cannot follow";
  EXPECT_EQ(source.Position(), source.Size()) << "the caller's stream stays usable";
}

TEST_F(RestoreTest, NameWithoutADirectoryPartRaisesAtTheDirectoryStep) {
  // Such a name would land in whatever the current directory is.
  struct Row {
    std::string what, destination, archive, handlerName;
  } rows[] = {
      {"stored, empty destination", "", Entry("X.TXT") + Stored("x") + kEnd, ""},
      {"set by OnRestoreFile", "C:", Entry("C:\\X.TXT") + Stored("x") + kEnd, "X.TXT"},
      {"set after an entry in a directory", "C:",
       Entry("C:\\A\\Y.TXT") + Stored("y") + kEnd + Entry("C:\\A\\X.TXT") + Stored("x") + kEnd,
       "X.TXT"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MemoryFileSystem files;
    TBackupFile component(files, ui);
    component.SetRestoreFullPath(true);
    Recorder events;
    events.Attach(component, false);
    events.onRestoreFile = [&](std::string& name, bool&) {
      if (!row.handlerName.empty() && name.ends_with("X.TXT")) name = row.handlerName;
    };
    files.AddFile(kArchive, Header(2) + row.archive + kEnd);
    EXPECT_EQ(Raised([&] { component.Restore(kArchive, row.destination); }),
              "Unable to create directory");
    EXPECT_FALSE(files.HasFile("X.TXT"));
    EXPECT_FALSE(files.HasFile(TargetFile::TemporaryName("X.TXT")));
    EXPECT_EQ(events.Count("restored X.TXT"), 0);
    EXPECT_EQ(files.OpenHandles(), 0);
  }
}

TEST_F(RestoreTest, EachRunStartsFromTheStateTheLastOneLeft) {
  faults.FailCreate(TargetFile::TemporaryName("C:\\F"));
  EXPECT_FALSE(Restore(Header(3) + Entry("C:\\F") + Stored("abc") + kEnd + kEnd));
  EXPECT_EQ(backup.ErrorCode(), 1);
  // Without a first volume only the error code and the continue flag are set.
  EXPECT_FALSE(backup.Restore("D:\\NONE.001", "C:"));
  EXPECT_EQ(backup.ErrorCode(), 0);
  EXPECT_EQ(backup.FailedFileName(), "");
  EXPECT_TRUE(backup.ContinueFlag());
  EXPECT_EQ(backup.CurrentFileName(), "C:\\F");
  EXPECT_EQ(backup.TotalBytes(), 3);
  // A run left by an exception leaves its state as well.
  log.onRestoreFile = [](std::string&, bool& yes) { yes = false; };
  fs.AddFile(kArchive, Header(7) + Name("C:\\G") + I32(kDate) + "EC2A" + kEnd + kEnd);
  EXPECT_EQ(Raised([&] { backup.Restore(kArchive, "C:"); }), "Invalid archive type");
  EXPECT_EQ(backup.CurrentFileName(), "C:\\G");
  EXPECT_EQ(backup.TotalBytes(), 7);
}

TEST_F(RestoreTest, RestoreDuringARunIsRefusedAndChangesNothing) {
  std::string refusal;
  ui.SetOnServeMessages([&] {
    const std::string name = backup.CurrentFileName();
    const std::int32_t done = backup.BytesDone();
    refusal = Raised([&] { backup.Restore(kArchive, "E:"); });
    EXPECT_EQ(backup.CurrentFileName(), name);
    EXPECT_EQ(backup.BytesDone(), done);
    EXPECT_TRUE(backup.ContinueFlag() && backup.Running());
  });
  EXPECT_TRUE(Restore(Header(3) + Entry("C:\\F") + Stored("abc") + kEnd + kEnd));
  EXPECT_EQ(refusal, "Restore is already running");
  EXPECT_EQ(fs.FileBytes("C:\\F"), "abc");
}

}  // namespace
}  // namespace norv::testing
