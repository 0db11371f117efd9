#include "backup/BackupFile.h"
#include "platform/Paths.h"
#include "tools/norvarc/CommandLine.h"
#include "tools/norvarc/Commands.h"
#include "tools/norvarc/HostPlatform.h"

namespace norv::tool {

const char* const kRecoverHelp =
    "usage: norvarc recover DEST\n"
    "\n"
    "Finishes an \"extract --all-or-nothing\" into DEST that a kill or a power\n"
    "cut interrupted: when it had not yet put every file in place, every file\n"
    "and folder it changed is put back as it was; when it had, only its kept\n"
    "old versions are removed. Every extract into DEST does this first.\n"
    "\n"
    "Exits 0 when DEST holds no unfinished run or once it is finished, 1 when\n"
    "something could not be put back (each named on stderr); the next run\n"
    "tries again.\n";

int ReportRecovery(const Recovery& recovery, const std::string& command, std::ostream& err) {
  if (!recovery.found) return 0;
  for (const NotRestored& file : recovery.failures) {
    err << "norvarc " << command << ": could not put back " << file.file << ": " << file.reason
        << '\n';
  }
  if (!recovery.failures.empty()) return 1;
  err << "norvarc " << command << ": the interrupted restore of " << recovery.archive
      << (recovery.committed ? " was completed\n" : " was undone\n");
  return 0;
}

int RunRecover(const Args& args, std::ostream& /*out*/, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (parsed.operands.size() != 1) throw UsageError("needs a destination");
  HostFileSystem fs(parsed.operands[0], true);
  HostConsole console;
  TBackupFile backup(fs, console);
  return ReportRecovery(backup.Recover(kSystemDrive), "recover", err);
}

}  // namespace norv::tool
