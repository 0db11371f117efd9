#include "backup/RestoreTransaction.h"

#include "backup/TargetFile.h"
#include "platform/Errors.h"
#include "platform/Paths.h"

namespace norv {

namespace {
using journal::Kind;
using journal::Record;

constexpr const char* kNotRemoved = "The file could not be removed";
constexpr const char* kDirectoryNotRemoved = "The folder could not be removed";
constexpr const char* kOtherDestination = "The journal belongs to another destination";

std::string ReasonOf(const Exception& failure) {
  return failure.Reason().empty() ? failure.what() : failure.Reason();
}

bool IsFile(FileSystem& fs, const std::string& name) {
  return fs.Status(name).kind == FileKind::kFile;
}

// Removes `name` when it is a file; false when one stays.
bool RemoveIfThere(FileSystem& fs, const std::string& name) {
  return !IsFile(fs, name) || fs.RemoveFile(name) || !IsFile(fs, name);
}

// The steps that finish a journal, each of which may be repeated. Removals
// become durable directory by directory before the journal goes.
class Finisher {
 public:
  Finisher(FileSystem& fs, std::string journalName)
      : fs_(fs), journalName_(std::move(journalName)) {}

  // Newest change first: old versions back, new files and directories gone.
  void Undo() {
    std::vector<std::int64_t> offsets;
    {
      journal::Reader reader(fs_, journalName_);
      Record record;
      for (std::int64_t at = 0; reader.Next(record); at = reader.Offset()) offsets.push_back(at);
    }
    journal::Reader reader(fs_, journalName_);
    Record record;
    for (auto it = offsets.rbegin(); it != offsets.rend(); ++it) {
      reader.Seek(*it);
      if (reader.Next(record)) UndoOne(record);
    }
  }

  // After a commit: the kept old versions go.
  void CleanUp() {
    journal::Reader reader(fs_, journalName_);
    Record record;
    while (reader.Next(record)) {
      if (record.kind != Kind::kReplacedFile) continue;
      Remove(journal::KeptName(record.name));
      Remove(TargetFile::TemporaryName(record.name));
    }
  }

  // The journal goes once every change before it is durable; it stays when
  // something could not be put back, so that the next run tries again.
  std::vector<NotRestored> Finish() {
    if (!failures_.empty()) return std::move(failures_);
    for (const std::string& dir : touched_) fs_.SyncDirectory(dir);
    fs_.RemoveFile(journalName_);
    return {};
  }

 private:
  void UndoOne(const Record& record) {
    switch (record.kind) {
      case Kind::kNewFile:
        Remove(TargetFile::TemporaryName(record.name));
        Remove(record.name);
        break;
      case Kind::kReplacedFile:
        Remove(TargetFile::TemporaryName(record.name));
        PutBack(record.name);
        break;
      case Kind::kNewDirectory:
        if (fs_.DirectoryExists(record.name) && !fs_.RemoveDir(record.name)) {
          failures_.push_back({record.name, kDirectoryNotRemoved});
        }
        touched_.insert(ExtractFileDir(record.name));
        break;
      default:
        break;
    }
  }

  void Remove(const std::string& name) {
    if (!RemoveIfThere(fs_, name)) failures_.push_back({name, kNotRemoved});
    touched_.insert(ExtractFileDir(name));
  }

  // The kept version over whatever the target is now; none kept means the
  // target was never touched, or is back already.
  void PutBack(const std::string& target) {
    const std::string kept = journal::KeptName(target);
    if (!IsFile(fs_, kept)) return;
    try {
      fs_.MoveOver(kept, target);
    } catch (const Exception& e) {
      failures_.push_back({target, ReasonOf(e)});
    }
  }

  FileSystem& fs_;
  const std::string journalName_;
  std::vector<NotRestored> failures_;
  std::set<std::string> touched_;
};

// The first record of a journal, and whether the run was committed.
struct Summary {
  bool valid = false;
  bool committed = false;
  std::string destination;
  std::string archive;
};

Summary Summarize(FileSystem& fs, const std::string& journalName) {
  Summary summary;
  journal::Reader reader(fs, journalName);
  Record record;
  if (!reader.Next(record) || record.kind != Kind::kBegin) return summary;
  summary.valid = true;
  summary.destination = record.name;
  summary.archive = record.other;
  while (reader.Next(record)) summary.committed |= record.kind == Kind::kCommitted;
  return summary;
}
}  // namespace

RestoreTransaction::RestoreTransaction(FileSystem& fs, const std::string& workingDestination,
                                       const std::string& archive)
    : fs_(fs), writer_(fs, journal::JournalName(workingDestination), workingDestination, archive) {}

void RestoreTransaction::WillMakeDirectories(const std::string& dir) {
  // The missing ones, innermost first; written outermost first. They are
  // durable in the journal before any is made, as a directory is not undone
  // by anything else.
  std::vector<std::string> missing;
  for (std::string at = dir; at.size() >= 3 && !fs_.DirectoryExists(at);) {
    missing.push_back(at);
    const std::string parent = ExtractFileDir(at);
    if (parent == at) break;
    at = parent;
  }
  if (missing.empty()) return;
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    writer_.Append(Kind::kNewDirectory, *it);
  }
  writer_.Sync();
}

void RestoreTransaction::WillWrite(const std::string& target, bool exists) {
  writer_.Append(exists ? Kind::kReplacedFile : Kind::kNewFile, target);
}

std::optional<NotRestored> RestoreTransaction::Commit() {
  // Every record is durable before the first target changes; each MoveOver
  // then makes its file and its directory durable.
  writer_.Sync();
  writer_.Close();
  {
    journal::Reader reader(fs_, writer_.Name());
    Record record;
    while (reader.Next(record)) {
      const std::string temporary = TargetFile::TemporaryName(record.name);
      try {
        if (record.kind == Kind::kNewDirectory) fs_.SyncDirectory(ExtractFileDir(record.name));
        // A target written twice is put in place once.
        if (record.kind == Kind::kNewDirectory || !IsFile(fs_, temporary)) continue;
        if (record.kind == Kind::kReplacedFile && IsFile(fs_, record.name)) {
          fs_.Rename(record.name, journal::KeptName(record.name));
        }
        fs_.MoveOver(temporary, record.name);
      } catch (const Exception& e) {
        return NotRestored{record.name, ReasonOf(e)};
      }
    }
  }
  writer_.Append(Kind::kCommitted, {});
  writer_.Sync();
  writer_.Close();
  Finisher finisher(fs_, writer_.Name());
  finisher.CleanUp();
  finisher.Finish();
  return std::nullopt;
}

std::vector<NotRestored> RestoreTransaction::Undo() {
  writer_.Close();
  Finisher finisher(fs_, writer_.Name());
  finisher.Undo();
  return finisher.Finish();
}

Recovery RecoverDestination(FileSystem& fs, const std::string& workingDestination) {
  const std::string journalName = journal::JournalName(workingDestination);
  // A journal that was never moved in place announced nothing.
  RemoveIfThere(fs, TargetFile::TemporaryName(journalName));
  Recovery recovery;
  if (!IsFile(fs, journalName)) return recovery;
  recovery.found = true;
  const Summary summary = Summarize(fs, journalName);
  recovery.committed = summary.committed;
  recovery.archive = summary.archive;
  Finisher finisher(fs, journalName);
  if (summary.valid && summary.destination != workingDestination) {
    recovery.failures.push_back({journalName, kOtherDestination});
    return recovery;
  }
  if (summary.committed) {
    finisher.CleanUp();
  } else if (summary.valid) {
    finisher.Undo();
  }
  recovery.failures = finisher.Finish();
  return recovery;
}

}  // namespace norv
