// Walks arbitrary archives with ArchiveReader (the path of "norvarc test"):
// it must not throw, must end, and must give a reason when it stops early.
// Its verdict must be the restore's: the reader finds the archive sound
// exactly when restoring every file into an empty destination (as
// "norvarc extract" and the installer do, over the in-memory file system)
// succeeds.
#include <cstdio>
#include <cstdlib>

#include "backup/ArchiveReader.h"
#include "backup/BackupFile.h"
#include "fuzz/ExecutionMemory.h"
#include "fuzz/FuzzCase.h"
#include "platform/testing/MemoryFileSystem.h"
#include "tests/robustness/RestoreProbe.h"

using namespace norv;

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ExecutionMemoryGuard memory;
  const fuzz::FuzzCase input = fuzz::DecodeFuzzCase(data, size);
  MemoryFileSystem fs;
  for (std::size_t i = 0; i < input.volumes.size(); ++i) {
    fs.AddFile(fuzz::VolumeName(static_cast<int>(i) + 1), input.volumes[i]);
  }

  ArchiveReader reader(fs, fuzz::VolumeName(1));
  reader.SetDataSink([](const ArchiveRecord&, const unsigned char*, std::size_t n) {
    if (n > 16384) Fail("a block yields more than 16384 bytes");
  });
  const std::size_t recordLimit = size / 4 + input.volumes.size() + 4;
  std::size_t records = 0;
  if (reader.Open()) {
    while (auto record = reader.Next()) {
      if (++records > recordLimit) Fail("the reader does not end");
    }
  }
  if (!reader.Complete() && reader.Problems().empty()) Fail("the walk stopped without a reason");

  // The installer's way of restoring it, onto the destination of both tools.
  robustness::AnswerTape tape;
  robustness::TapeUserInterface ui(tape);
  ui.serveLimit = static_cast<long>(size / 4) + 64;
  TBackupFile backup(fs, ui);
  backup.SetRestoreMode(rmAll);
  backup.SetRestoreFullPath(true);
  robustness::ProbeSettings settings;
  settings.tapeAnswers = false;
  robustness::RestoreProbe probe(backup, fs, ui, tape, settings);
  const robustness::Outcome outcome = probe.Run(fuzz::VolumeName(1), "C:");
  if (!probe.Violations().empty()) Fail(probe.Report());
  const bool restored = outcome.ending == robustness::Ending::True;
  if (reader.Sound() != restored) {
    std::string problems;
    for (const auto& p : reader.Problems()) problems += "  " + p.entry + ": " + p.what + "\n";
    Fail(std::string("the reader finds the archive ") + (reader.Sound() ? "sound" : "unsound") +
         ", the restore ends " + robustness::EndingName(outcome.ending) + " " + outcome.message +
         "\nproblems:\n" + problems + probe.Report());
  }
  return 0;
}
