// Walks arbitrary archives with ArchiveReader (the path of "norvarc test"):
// it must not throw, must end, and must give a reason when it stops early.
// An archive that it finds sound must also restore without an exception,
// and return true when its names are plain.
#include <cstdio>
#include <cstdlib>
#include <set>

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

bool PlainComponent(const std::string& part) {
  if (part.empty() || part.size() > 64 || part == "." || part == "..") return false;
  for (char c : part) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '.';
    if (!ok) return false;
  }
  return true;
}

// A drive, a colon, a backslash and simple components.
bool PlainName(const std::string& name) {
  if (name.size() < 4 || name[1] != ':' || name[2] != '\\') return false;
  std::size_t start = 3;
  for (;;) {
    const std::size_t end = name.find('\\', start);
    if (!PlainComponent(name.substr(start, end - start))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

// Plain names, and none used both as a file and as a directory.
bool PlainNames(const std::vector<std::string>& names) {
  std::set<std::string> files;
  std::set<std::string> dirs;
  for (const auto& name : names) {
    if (!PlainName(name)) return false;
    files.insert(name.substr(3));
    for (std::size_t cut = name.find('\\', 3); cut != std::string::npos;
         cut = name.find('\\', cut + 1)) {
      dirs.insert(name.substr(3, cut - 3));
    }
  }
  for (const auto& f : files) {
    if (dirs.count(f)) return false;
  }
  return true;
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
  std::vector<std::string> names;
  const std::size_t recordLimit = size / 4 + input.volumes.size() + 4;
  std::size_t records = 0;
  if (reader.Open()) {
    while (auto record = reader.Next()) {
      if (++records > recordLimit) Fail("the reader does not end");
      if (record->kind == RecordKind::File) names.push_back(record->name);
    }
  }
  if (!reader.Complete() && reader.Problems().empty()) Fail("the walk stopped without a reason");
  if (!reader.Complete() || !reader.Problems().empty()) return 0;

  // A sound archive: the installer's way of restoring it must not raise.
  robustness::AnswerTape tape;
  robustness::TapeUserInterface ui(tape);
  ui.serveLimit = static_cast<long>(size / 4) + 64;
  TBackupFile backup(fs, ui);
  backup.SetRestoreMode(rmAll);
  backup.SetRestoreFullPath(true);
  robustness::ProbeSettings settings;
  settings.tapeAnswers = false;
  robustness::RestoreProbe probe(backup, fs, ui, tape, settings);
  const robustness::Outcome outcome = probe.Run(fuzz::VolumeName(1), "C:\\DEST");
  if (!probe.Violations().empty()) Fail(probe.Report());
  if (outcome.ending == robustness::Ending::Exception) {
    Fail("a sound archive raised: " + outcome.message + "\n" + probe.Report());
  }
  if (outcome.ending != robustness::Ending::True && PlainNames(names)) {
    Fail("a sound archive with plain names did not restore\n" + probe.Report());
  }
  return 0;
}
