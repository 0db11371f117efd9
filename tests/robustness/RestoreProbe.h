#pragma once
// Runs TBackupFile::Restore on untrusted bytes with every event assigned and
// checks what any run must obey, whatever the archive holds:
//  - it ends by returning or by an exception that carries a message;
//  - it is bounded (messages served, dialogs, volume requests);
//  - OnRestoreFile comes once per entry before any of its bytes, progress
//    and OnFileRestored only for an entry being written, the end-of-run
//    progress event last (unless an exception left), OnError after it;
//  - no stream is left open, nothing is written outside the destination,
//    and no more bytes are written than the blocks served can hold.
// Used by the fuzz targets and the robustness tests alike, so it reports
// violations as text instead of failing a test framework's assertions.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "backup/BackupFile.h"
#include "install/FrmInstaladorNorv.h"
#include "install/testing/FakeInstallerWindowSystem.h"
#include "platform/UserInterface.h"
#include "platform/testing/FakeShell.h"
#include "platform/testing/FakeSystem.h"
#include "platform/testing/MemoryFileSystem.h"

namespace norv::robustness {

// Yes/no answers taken bit by bit from a byte string, cycling; an empty tape
// always answers yes.
class AnswerTape {
 public:
  explicit AnswerTape(std::string bytes = {}) : bytes_(std::move(bytes)) {}
  bool Next();

 private:
  std::string bytes_;
  std::size_t bit_ = 0;
};

// A window system whose dialogs answer from the tape. Counts every call and
// stops a run that serves messages beyond a bound.
class TapeUserInterface : public UserInterface {
 public:
  explicit TapeUserInterface(AnswerTape& tape) : tape_(tape) {}
  DialogResult MessageDialog(const std::string& text, DialogKind kind,
                             DialogButtons buttons) override;
  void ServeMessages() override;

  // Runs in every ServeMessages call (a window event during a restore).
  std::function<void()> onServe;
  long serveCount = 0;
  long dialogCount = 0;
  long serveLimit = 100000;
  std::vector<std::string> dialogs;

 private:
  AnswerTape& tape_;
  int promptsInARow_ = 0;
};

enum class Ending { True, False, Exception };
const char* EndingName(Ending ending);

struct Outcome {
  Ending ending = Ending::False;
  std::string message;  // the exception's message
};

struct ProbeSettings {
  // Handlers answer from the tape; otherwise they answer as the installer
  // does (write every file, always continue, every volume in place).
  bool tapeAnswers = true;
  // OnNeedDisk stays unassigned, so the built-in prompt asks instead.
  bool builtInPrompt = false;
  // Try a second Restore from the first ServeMessages call; it must throw.
  bool tryReentry = false;
  // More volume requests in a row than this are a run that does not end
  // (the installer's handler, whose dialogs the tape answers, gives up
  // after a few questions): a violation, and the request is answered "stop".
  int needDiskLimit = 8;
};

class RestoreProbe {
 public:
  RestoreProbe(TBackupFile& backup, MemoryFileSystem& fs, TapeUserInterface& ui, AnswerTape& tape,
               ProbeSettings settings = {});

  // Restores `archive` to `destination` and checks the run.
  Outcome Run(const std::string& archive, const std::string& destination);

  const std::vector<std::string>& Violations() const { return violations_; }
  const std::vector<std::string>& Events() const { return events_; }
  // One text with every violation and the event trail, for failure output.
  std::string Report() const;

  int RestoreFileEvents() const { return restoreFileEvents_; }
  int FileRestoredEvents() const { return fileRestoredEvents_; }
  bool EndEventSeen() const { return endSeen_; }
  bool ErrorEventSeen() const { return errorSeen_; }

 private:
  void Attach();
  void Violation(std::string what);
  void CheckFileSystem(const std::map<std::string, std::string>& before);
  bool Inside(const std::string& path) const;

  TBackupFile& backup_;
  MemoryFileSystem& fs_;
  TapeUserInterface& ui_;
  AnswerTape& tape_;
  ProbeSettings settings_;
  // The installer window, for its real volume handler; its dialogs go to
  // the tape's window system.
  FakeInstallerWindowSystem windows_;
  FakeSystem system_;
  FakeShell shell_;
  TFrmInstaladorNorv installer_;

  std::set<std::string> dirsBefore_;
  std::string prefix_;  // the working destination as the file system stores it
  std::vector<std::string> events_;
  std::vector<std::string> violations_;
  std::string announced_;          // the name of the entry announced last
  std::set<std::string> offered_;  // every name OnRestoreFile offered, as stored
  bool writing_ = false;           // its final answer was to write it
  bool endSeen_ = false;
  bool errorSeen_ = false;
  int needDiskInARow_ = 0;
  int restoreFileEvents_ = 0;
  int fileRestoredEvents_ = 0;
};

// True when `path` has a ".." component ("\" and "/" separate).
bool HasParentComponent(const std::string& path);

}  // namespace norv::robustness
