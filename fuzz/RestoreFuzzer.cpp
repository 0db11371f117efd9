// Restores arbitrary archives, in stream mode or from volumes on the
// in-memory file system, with every event assigned and answering from the
// input, and aborts on any broken rule (see RestoreProbe).
#include <cstdio>
#include <cstdlib>

#include "backup/BackupFile.h"
#include "fuzz/ExecutionMemory.h"
#include "fuzz/FuzzCase.h"
#include "platform/MemoryStream.h"
#include "platform/testing/MemoryFileSystem.h"
#include "tests/robustness/RestoreProbe.h"

using namespace norv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ExecutionMemoryGuard memory;
  const fuzz::FuzzCase input = fuzz::DecodeFuzzCase(data, size);

  MemoryFileSystem fs;
  // Files that restore modes compare against, and one that must survive.
  fs.AddFile("C:\\DEST\\A\\OLD.TXT", "old", 0x30000000);
  fs.AddFile("C:\\DEST\\RO.TXT", "read-only");
  fs.SetReadOnly("C:\\DEST\\RO.TXT");
  fs.AddFile("E:\\KEEP.TXT", "keep");
  for (std::size_t i = 0; i < input.volumes.size(); ++i) {
    fs.AddFile(fuzz::VolumeName(static_cast<int>(i) + 1), input.volumes[i]);
  }
  MemoryStream source(input.volumes.front());

  robustness::AnswerTape tape(input.tape);
  robustness::TapeUserInterface ui(tape);
  // Every block costs at least its four-byte length field, and every volume
  // is read once: more served blocks than that means the run loops.
  ui.serveLimit = static_cast<long>(size / 4) + 64;
  TBackupFile backup(fs, ui);
  backup.SetRestoreMode(input.Mode());
  backup.SetRestoreFullPath(input.FullPath());
  backup.SetSourceStream(&source);

  robustness::ProbeSettings settings;
  settings.builtInPrompt = input.BuiltInPrompt();
  settings.tryReentry = true;
  robustness::RestoreProbe probe(backup, fs, ui, tape, settings);
  probe.Run(input.StreamMode() ? ":STREAM" : fuzz::VolumeName(1), input.Destination());
  if (!probe.Violations().empty()) {
    std::fprintf(stderr, "%s", probe.Report().c_str());
    std::abort();
  }
  return 0;
}
