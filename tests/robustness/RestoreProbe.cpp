#include "tests/robustness/RestoreProbe.h"

#include <exception>

#include "backup/ResourceStrings.h"
#include "backup/RestoreRules.h"
#include "backup/TargetFile.h"

namespace norv::robustness {

namespace {

// Thrown from ServeMessages once a run has served more messages than its
// input can account for: the run would not end on its own.
struct RunawayRun {};

constexpr std::int64_t kBlockLimit = 16384;

// Bytes and stamp of every file, to see what a run changed.
std::map<std::string, std::string> Snapshot(const MemoryFileSystem& fs) {
  std::map<std::string, std::string> files;
  for (const auto& name : fs.Files()) {
    files[name] = fs.FileBytes(name) + "@" + std::to_string(fs.Stamp(name));
  }
  return files;
}

}  // namespace

bool AnswerTape::Next() {
  if (bytes_.empty()) return true;
  const std::size_t bits = bytes_.size() * 8;
  const std::size_t at = bit_++ % bits;
  return (static_cast<unsigned char>(bytes_[at / 8]) >> (at % 8) & 1) != 0;
}

DialogResult TapeUserInterface::MessageDialog(const std::string& text, DialogKind, DialogButtons) {
  ++dialogCount;
  dialogs.push_back(text);
  // A user who keeps pressing OK for a missing volume gives up eventually.
  if (++promptsInARow_ > 3) {
    promptsInARow_ = 0;
    return DialogResult::Cancel;
  }
  return tape_.Next() ? DialogResult::Ok : DialogResult::Cancel;
}

void TapeUserInterface::ServeMessages() {
  promptsInARow_ = 0;
  if (++serveCount > serveLimit) throw RunawayRun{};
  if (onServe) onServe();
}

const char* EndingName(Ending ending) {
  switch (ending) {
    case Ending::True:
      return "true";
    case Ending::False:
      return "false";
    case Ending::Exception:
      return "exception";
  }
  return "?";
}

bool HasParentComponent(const std::string& path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("\\/", start);
    if (end == std::string::npos) end = path.size();
    if (path.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

RestoreProbe::RestoreProbe(TBackupFile& backup, MemoryFileSystem& fs, TapeUserInterface& ui,
                           AnswerTape& tape, ProbeSettings settings)
    : backup_(backup),
      fs_(fs),
      ui_(ui),
      tape_(tape),
      settings_(settings),
      shell_(fs, "C:\\Users\\norv\\Desktop"),
      installer_(windows_, windows_, fs, system_, shell_) {
  windows_.SetOnDialog([this](const FakeDialog& dialog) -> std::optional<DialogResult> {
    return ui_.MessageDialog(dialog.text, dialog.kind, dialog.buttons);
  });
  Attach();
}

void RestoreProbe::Violation(std::string what) {
  violations_.push_back(std::move(what));
}

void RestoreProbe::Attach() {
  backup_.OnRestoreFile = [this](TBackupFile&, std::string& name, std::int32_t, bool& doRestore) {
    events_.push_back("restore-file " + name + (doRestore ? " yes" : " no"));
    ++restoreFileEvents_;
    needDiskInARow_ = 0;
    if (endSeen_) Violation("OnRestoreFile after the end-of-run progress event");
    if (!Inside(MemoryFileSystem::Normalize(name))) {
      Violation("OnRestoreFile offers a name outside the destination: " + name);
    }
    if (settings_.tapeAnswers) {
      if (!tape_.Next()) doRestore = !doRestore;
    } else {
      doRestore = true;
    }
    announced_ = name;
    offered_.insert(MemoryFileSystem::Normalize(name));
    writing_ = doRestore;
  };
  backup_.OnProgress = [this](TBackupFile&, std::string name, TPercentage percent, bool& go) {
    events_.push_back("progress " + name + " " + std::to_string(percent));
    needDiskInARow_ = 0;
    if (percent < 0 || percent > 100)
      Violation("Percent out of 0..100: " + std::to_string(percent));
    if (endSeen_) Violation("a progress event after the end-of-run progress event");
    if (name.empty()) {
      endSeen_ = true;
      if (percent != 100) Violation("the end-of-run progress event does not carry 100");
    } else if (name != announced_ || !writing_) {
      Violation("progress for an entry that is not being written: " + name);
    } else if (!fs_.HasFile(TargetFile::TemporaryName(name))) {
      Violation("progress for a file that is not being written: " + name);
    }
    go = settings_.tapeAnswers ? tape_.Next() : true;
  };
  backup_.OnFileRestored = [this](TBackupFile&, std::string& name, TFileStream& stream) {
    events_.push_back("file-restored " + name);
    ++fileRestoredEvents_;
    if (endSeen_) Violation("OnFileRestored after the end-of-run progress event");
    if (name != announced_ || !writing_) {
      Violation("OnFileRestored for an entry that is not being written: " + name);
    }
    if (!fs_.HasFile(TargetFile::TemporaryName(name))) {
      Violation("OnFileRestored for a file that was not created: " + name);
    }
    if (stream.Position() != stream.Size()) {
      Violation("OnFileRestored with the stream not at its end: " + name);
    }
  };
  if (settings_.builtInPrompt) {
    backup_.OnNeedDisk = nullptr;
    backup_.OnError = nullptr;
    return;
  }
  backup_.OnNeedDisk = [this](TBackupFile& sender, std::uint16_t id, bool& go) {
    events_.push_back("need-disk " + std::to_string(id) + " " + sender.NextVolumeName());
    if (endSeen_) Violation("OnNeedDisk after the end-of-run progress event");
    installer_.BackupFileNeedDisk(sender, id, go);
    if (++needDiskInARow_ > settings_.needDiskLimit) {
      Violation("the volume request does not end: " + std::to_string(needDiskInARow_) +
                " questions for " + sender.NextVolumeName());
      needDiskInARow_ = 0;
      go = false;
    }
  };
  backup_.OnError = [this](TBackupFile& sender, std::int32_t code, std::string text) {
    events_.push_back("error " + std::to_string(code) + " " + text);
    if (!endSeen_) Violation("OnError before the end-of-run progress event");
    if (errorSeen_) Violation("OnError twice in one run");
    errorSeen_ = true;
    if (code != 1 && code != 6) Violation("error code " + std::to_string(code) + " recorded");
    if (code != sender.ErrorCode()) Violation("OnError carries another code than the run's");
    if (text != ErrorText(code)) Violation("OnError text does not match its code: " + text);
  };
}

bool RestoreProbe::Inside(const std::string& key) const {
  if (HasParentComponent(key)) return false;
  // The destination itself counts as inside (a stored name of three
  // characters names it).
  return prefix_.empty() || (key + "\\").starts_with(prefix_);
}

Outcome RestoreProbe::Run(const std::string& archive, const std::string& destination) {
  const std::string working = restore::WorkingDestination(destination);
  prefix_ = working.empty() ? std::string() : MemoryFileSystem::Normalize(working) + "\\";
  events_.clear();
  violations_.clear();
  announced_.clear();
  offered_.clear();
  writing_ = endSeen_ = errorSeen_ = false;
  needDiskInARow_ = restoreFileEvents_ = fileRestoredEvents_ = 0;
  const long serveBefore = ui_.serveCount;
  const auto before = Snapshot(fs_);
  const auto dirs = fs_.Directories();
  dirsBefore_ = std::set<std::string>(dirs.begin(), dirs.end());

  bool reentryTried = false;
  if (settings_.tryReentry) {
    ui_.onServe = [this, &reentryTried, archive, destination] {
      if (reentryTried) return;
      reentryTried = true;
      try {
        backup_.Restore(archive, destination);
        Violation("a second Restore during a run was not refused");
      } catch (const EBackupError&) {
      }
    };
  }

  Outcome outcome;
  bool runaway = false;
  try {
    outcome.ending = backup_.Restore(archive, destination) ? Ending::True : Ending::False;
  } catch (const RunawayRun&) {
    runaway = true;
    outcome.ending = Ending::Exception;
  } catch (const std::exception& e) {
    outcome.ending = Ending::Exception;
    outcome.message = e.what();
    if (outcome.message.empty()) Violation("an exception without a message left Restore");
  } catch (...) {
    outcome.ending = Ending::Exception;
    Violation("an exception of no standard type left Restore");
  }
  ui_.onServe = nullptr;
  // A runaway stop may have been swallowed inside the run, as any failure
  // while writing an entry is; the count tells.
  if (runaway || ui_.serveCount > ui_.serveLimit) {
    Violation("the run did not end: " + std::to_string(ui_.serveCount - serveBefore) +
              " blocks served");
  }

  if (backup_.Running()) Violation("the component still counts as running");
  if (fs_.OpenHandles() != 0) {
    Violation(std::to_string(fs_.OpenHandles()) + " file streams left open");
  }
  const bool reportable = !settings_.builtInPrompt;
  switch (outcome.ending) {
    case Ending::True:
      if (backup_.ErrorCode() != 0) Violation("true with an error code recorded");
      if (!endSeen_) Violation("true without the end-of-run progress event");
      if (errorSeen_) Violation("true after an error report");
      break;
    case Ending::False:
      if (!endSeen_ && !events_.empty()) Violation("false without the end-of-run progress event");
      if (reportable && endSeen_ && errorSeen_ != (backup_.ErrorCode() != 0)) {
        Violation("the error report does not match the recorded code");
      }
      break;
    case Ending::Exception:
      if (endSeen_) Violation("the end-of-run progress event fired before an exception");
      if (errorSeen_) Violation("an error report fired before an exception");
      break;
  }
  CheckFileSystem(before);

  const std::int64_t served = ui_.serveCount - serveBefore;
  std::int64_t written = 0;
  for (const auto& name : fs_.Files()) {
    const auto it = before.find(name);
    if (it == before.end() ||
        it->second != fs_.FileBytes(name) + "@" + std::to_string(fs_.Stamp(name))) {
      written += static_cast<std::int64_t>(fs_.FileBytes(name).size());
    }
  }
  if (written > served * kBlockLimit) {
    Violation(std::to_string(written) + " bytes written in " + std::to_string(served) + " blocks");
  }
  return outcome;
}

void RestoreProbe::CheckFileSystem(const std::map<std::string, std::string>& before) {
  for (const auto& name : fs_.Files()) {
    const auto it = before.find(name);
    const bool changed = it == before.end() ||
                         it->second != fs_.FileBytes(name) + "@" + std::to_string(fs_.Stamp(name));
    if (changed && !Inside(name)) Violation("a file outside the destination was written: " + name);
  }
  for (const auto& [name, content] : before) {
    if (!fs_.HasFile(name)) Violation("an existing file disappeared: " + name);
  }
  // A stored name may itself end like a temporary file: only the
  // temporary files of offered names that are not offered names count.
  for (const auto& name : offered_) {
    const std::string temporary = MemoryFileSystem::Normalize(TargetFile::TemporaryName(name));
    if (fs_.HasFile(temporary) && !before.count(temporary) && !offered_.count(temporary)) {
      Violation("a temporary file was left: " + temporary);
    }
  }
  for (const auto& dir : fs_.Directories()) {
    if (dirsBefore_.count(dir)) continue;
    const bool ancestor = !prefix_.empty() && prefix_.starts_with(dir + "\\");
    if (!ancestor && !Inside(dir + "\\")) {
      Violation("a directory outside the destination was created: " + dir);
    }
  }
}

std::string RestoreProbe::Report() const {
  std::string text;
  for (const auto& v : violations_) text += "VIOLATION: " + v + "\n";
  text += "events:\n";
  for (const auto& e : events_) text += "  " + e + "\n";
  return text;
}

}  // namespace norv::robustness
