// Faults: failed entries recorded as error codes, unreadable archives
// raised as exceptions, and every handle closed on every way out.
#include <optional>

#include "platform/MemoryStream.h"
#include "tests/backup/RestoreFixture.h"

namespace norv::testing {
namespace {

TEST_F(RestoreTest, EntryFailuresRecordErrorOneAndStopTheRun) {
  const std::string abc = kSig + Stored("abc") + kEnd;
  struct Row {
    std::string what, name, data;
    std::function<void(MemoryFileSystem&)> fault;
    std::optional<std::string> left;  // the target afterwards; nullopt: none
  } rows[] = {
      {"read-only", "C:\\F", abc,
       [](auto& f) { f.AddFile("C:\\F", "old"), f.SetReadOnly("C:\\F"); }, "old"},
      {"create fails", "C:\\F", abc, [](auto& f) { f.FailCreate("C:\\F"); }, std::nullopt},
      {"signature", "C:\\F", "EC2A" + Stored("abc") + kEnd, nullptr, ""},
      {"volume ends", "C:\\F", kSig + Stored("ab") + I32(-16000) + "x", nullptr, "ab"},
      {"read fault", "C:\\F", abc, [](auto& f) { f.FailReadAt(kArchive, 34); }, ""},
      {"disk full", "C:\\F", abc, [](auto& f) { f.LimitWrites(2); }, "ab"},
      {"oversized block", "C:\\F", kSig + Stored("a") + Stored(std::string(16385, 'b')), nullptr,
       "a"},
      {"parent", "C:\\..\\F", abc, nullptr, std::nullopt},
      {"deep parent", "C:\\A\\..\\..\\F", abc, nullptr, std::nullopt},
      {"slash parent", "C:\\A/../../F", abc, nullptr, std::nullopt},
      {"absolute rest", "C:\\\\F", abc, nullptr, std::nullopt},
      {"second drive", "C:\\A\\D:F", abc, nullptr, std::nullopt},
      {"device", "C:\\A\\nul.txt", abc, nullptr, std::nullopt},
      {"forbidden character", "C:\\A\\B?\\F", abc, nullptr, std::nullopt},
      {"trailing dot", "C:\\A.\\F", abc, nullptr, std::nullopt},
      {"path of 260", "C:\\" + std::string(257, 'P'), abc, nullptr, std::nullopt},
      {"directory of 248", "C:\\" + std::string(245, 'D') + "\\F", abc, nullptr, std::nullopt},
      {"16,000 levels",
       "C:\\" +
           [] {
             std::string levels;
             for (int i = 0; i < 16000; ++i) levels += "A\\";
             return levels;
           }() +
           "F",
       abc, nullptr, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MemoryFileSystem files;
    TBackupFile component(files, ui);
    component.SetRestoreFullPath(true);
    Recorder events;
    events.Attach(component, false);
    files.AddFile(kArchive, Header(6) + Name(row.name) + I32(kDate) + row.data + Entry("C:\\G") +
                                Stored("g") + kEnd + kEnd);
    if (row.fault) row.fault(files);
    EXPECT_FALSE(component.Restore(kArchive, "C:\\"));
    EXPECT_EQ(files.OpenHandles(), 0);
    EXPECT_EQ(events.events.back(), "error 1 Cannot read file");
    EXPECT_EQ(events.Count("restore C:\\G"), 0) << "the run must stop";
    const bool created = row.left && *row.left != "old";
    EXPECT_EQ(events.Count("restored C:\\F"), created ? 1 : 0);
    if (!row.left) {
      EXPECT_EQ(files.Files(), Lines{kArchive});
      EXPECT_EQ(files.Directories(), Lines{"D:\\UPD"});
      EXPECT_EQ(events.Count("restore "), row.name == "C:\\F" ? 1 : 0)
          << "unsafe names not offered";
    } else {
      EXPECT_EQ(files.FileBytes("C:\\F"), *row.left);
      EXPECT_EQ(files.Stamp("C:\\F") == kDate, created);
    }
  }
}

TEST_F(RestoreTest, ErrorReportWithoutHandlerIsAnErrorDialog) {
  backup.OnError = nullptr;
  fs.FailCreate("C:\\F");
  EXPECT_FALSE(Restore(Header(0) + Entry("C:\\F") + kEnd + kEnd));
  ASSERT_EQ(ui.Dialogs().size(), 1u);
  EXPECT_EQ(ui.Dialogs()[0].text, "Cannot read file");
  EXPECT_EQ(ui.Dialogs()[0].kind, DialogKind::Error);
}

TEST_F(RestoreTest, DirectoryThatCannotBeMadeIsPassedOverSilently) {
  fs.FailDirectory("C:\\A");
  EXPECT_TRUE(Restore(Header(4) + Entry("C:\\A\\F") + Stored("abc") + kEnd + Entry("C:\\G") +
                      Stored("g") + kEnd + kEnd));
  EXPECT_EQ(fs.Files(), (Lines{"C:\\G", kArchive}));
  EXPECT_EQ(log.events[2], "progress C:\\G 25") << "no progress for the passed-over data";
}

TEST_F(RestoreTest, UnreadableArchivesRaise) {
  const std::string entry = Entry("C:\\F") + Stored("abc") + kEnd;
  struct Row {
    std::string what, archive, message;
    std::function<void(MemoryFileSystem&)> fault;
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
    TBackupFile component(files, ui);
    Recorder events;
    events.Attach(component, false);
    files.AddFile(kArchive, row.archive);
    if (row.fault) row.fault(files);
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
  EXPECT_EQ(fs.FileBytes("C:\\S"), "s");
  EXPECT_EQ(source.Position(), source.Size()) << "the caller's stream stays usable";
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
