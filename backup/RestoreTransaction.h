#pragma once
// A restore as one transaction at its destination: either every written
// file is in place or the destination is as it was before the run. While
// the run writes, targets are not touched: each file is written beside its
// target (TargetFile) after the journal has said what will change. At the
// end, Commit moves them all in place, keeping each replaced file's old
// version by a rename, marks the journal committed and removes the old
// versions and the journal; Undo, on any failure, puts every target back,
// newest change first. Recover finishes what a killed run left, either way.
// Where the journal and the kept files lie: RestoreJournal.h.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backup/RestoreJournal.h"
#include "backup/RestoreView.h"
#include "platform/FileSystem.h"

namespace norv {

// What a recovery found and did.
struct Recovery {
  bool found = false;      // an unfinished run's journal was there
  bool committed = false;  // that run had put every file in place
  std::string archive;     // the archive that run restored
  // Empty when the run was finished; the journal then is gone.
  std::vector<NotRestored> failures;
};

class RestoreTransaction {
 public:
  // Starts the journal at `workingDestination`. Throws what the file system
  // throws when it cannot be made.
  RestoreTransaction(FileSystem& fs, const std::string& workingDestination,
                     const std::string& archive);
  RestoreTransaction(const RestoreTransaction&) = delete;
  RestoreTransaction& operator=(const RestoreTransaction&) = delete;

  // Before the directory `dir` and its missing parents are made.
  void WillMakeDirectories(const std::string& dir);
  // Before the temporary file of `target` is made; `exists`: whether a file
  // is there now.
  void WillWrite(const std::string& target, bool exists);
  // Puts every written file in place and ends the run; the file that could
  // not be put in place, and why, when one could not (then call Undo).
  std::optional<NotRestored> Commit();
  // Puts every target back as it was; what could not be.
  std::vector<NotRestored> Undo();

 private:
  FileSystem& fs_;
  journal::Writer writer_;
};

// Finishes the run whose journal lies at `workingDestination`, if any: the
// clean-up when it was committed, else the undo. Every step may be repeated.
Recovery RecoverDestination(FileSystem& fs, const std::string& workingDestination);

}  // namespace norv
