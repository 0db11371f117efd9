#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>

#include "backup/BackupFile.h"
#include "platform/Paths.h"
#include "tools/norvarc/CommandLine.h"
#include "tools/norvarc/Commands.h"
#include "tools/norvarc/HostPlatform.h"
#include "tools/norvarc/ServeGapMeter.h"
#include "tools/norvarc/SourceFiles.h"
#include "tools/norvarc/TracePrinter.h"

namespace norv::tool {

const char* const kExtractHelp =
    "usage: norvarc extract [OPTIONS] ARCHIVE DEST\n"
    "\n"
    "Restores the archive whose first volume is ARCHIVE onto drive C:, which\n"
    "stands for the directory DEST (made when missing). Stored paths are\n"
    "recreated below it; later volumes are looked for next to ARCHIVE.\n"
    "\n"
    "options:\n"
    "  --mode all|no-overwrite|newer|existing|existing-newer\n"
    "                 which files to restore (default all)\n"
    "  --flat         restore every file directly into DEST, without its path\n"
    "  --keep-going   go on after a compression error\n"
    "  --sync         flush each file to the disk before it replaces the old\n"
    "                 one, so that not even a power cut can leave it empty\n"
    "  --all-or-nothing\n"
    "                 the whole restore or none of it: files are put in place\n"
    "                 only once all are written, the old versions kept beside\n"
    "                 them (NAME.norvold) until the end, and a run that fails,\n"
    "                 stops or is killed leaves DEST as it was (a journal,\n"
    "                 DEST/.norvjournal, lets the next run or \"norvarc recover\"\n"
    "                 finish a killed one). Needs room for old and new files\n"
    "                 together, checked first. Files a handler holds back are\n"
    "                 not part of it; programs run afterwards are not undone;\n"
    "                 after a power cut the promise holds with --sync only, as\n"
    "                 far as the file system keeps its flushes and renames\n"
    "  --trace        print every event of the restore on stdout, one line\n"
    "                 each, TAB-separated fields:\n"
    "                   restore-file FILENAME FA DORESTORE\n"
    "                   progress FILENAME PERCENT CONTINUE\n"
    "                   file-restored FILENAME POSITION\n"
    "                   need-disk DISKID ANSWER\n"
    "                   error CODE TEXT\n"
    "                 and last \"result 0|1\" or \"exception MESSAGE\"\n"
    "\n"
    "Each file replaces its old version only once it is complete; a failure\n"
    "leaves the old file as it was and is named on stderr as\n"
    "\"ERRO: FILE: REASON\". An interrupted all-or-nothing run found in DEST\n"
    "is finished first, and said so on stderr.\n"
    "\n"
    "Exits 0 when the restore succeeds, 1 when it fails or stops, 2 when it\n"
    "is aborted by an exception (message on stderr).\n";

namespace {

TRestoreMode ParseMode(const std::string& text) {
  static const std::map<std::string, TRestoreMode> kModes = {{"all", rmAll},
                                                             {"no-overwrite", rmNoOverwrite},
                                                             {"newer", rmNewer},
                                                             {"existing", rmExisting},
                                                             {"existing-newer", rmExistingNewer}};
  auto it = kModes.find(text);
  if (it == kModes.end()) throw UsageError("unknown mode \"" + text + "\"");
  return it->second;
}

// Makes DEST when missing; false, with a message, when it is no directory.
bool MakeDestination(const std::string& dest, std::ostream& err) {
  std::error_code ec;
  std::filesystem::create_directories(HostPath(dest), ec);
  if (std::filesystem::is_directory(HostPath(dest), ec)) return true;
  err << "norvarc extract: cannot make the destination directory " << dest << '\n';
  return false;
}

// True for zlib alone, false for the fast decoder.
bool ZlibOnly(const std::string& decoder) {
  if (decoder != "fast" && decoder != "zlib")
    throw UsageError("unknown decoder \"" + decoder + "\"");
  return decoder == "zlib";
}

// Traces every event and reports errors and missing volumes on stderr.
void BindEvents(TBackupFile& backup, HostFileSystem& fs, TracePrinter& trace, bool keepGoing,
                std::ostream& err) {
  backup.OnRestoreFile = [&](TBackupFile&, std::string& name, std::int32_t fa, bool& doRestore) {
    trace.RestoreFile(name, fa, doRestore);
  };
  backup.OnProgress = [&trace, keepGoing](TBackupFile&, std::string name, TPercentage percent,
                                          bool& cont) {
    trace.Progress(name, percent, cont);
    if (keepGoing) cont = true;
  };
  backup.OnFileRestored = [&](TBackupFile&, std::string& name, TFileStream& stream) {
    // Asking a file its position is a system call: only when it is printed.
    if (trace.Enabled()) trace.FileRestored(name, stream.Position());
  };
  // Later volumes lie next to the first: the one the restore names is there
  // or the run stops.
  backup.OnNeedDisk = [&](TBackupFile& sender, std::uint16_t diskId, bool& cont) {
    const std::string& next = sender.NextVolumeName();
    cont = fs.FileExists(next);
    trace.NeedDisk(diskId, cont);
    if (!cont) err << "norvarc extract: volume " << fs.NativePath(next) << " is missing\n";
  };
  backup.OnError = [&](TBackupFile&, const std::int32_t code, std::string text) {
    trace.Error(code, text);
    err << "norvarc extract: error " << code << ": " << text << '\n';
  };
}

// Prints the serve-gap line when the run ends, however it ends.
struct GapReport {
  const std::optional<ServeGapMeter>& meter;
  std::ostream& err;
  ~GapReport() {
    if (meter)
      err << "serve-gap\t" << meter->LongestGapMilliseconds() << '\t' << meter->Calls() << '\t'
          << meter->GapsOver1ms() << '\t' << meter->GapsOver5ms() << '\t'
          << meter->LongestBusyGapMilliseconds() << '\n';
  }
};

// The restore itself: its result traced, the exit code returned.
int Restore(TBackupFile& backup, const std::string& volume, TracePrinter& trace,
            std::ostream& err) {
  try {
    bool result = backup.Restore(volume, kSystemDrive);
    trace.Result(result);
    // The same line as the installer's log: which file failed, and why.
    if (backup.ErrorCode() != 0) {
      err << "ERRO: " << backup.FailedFileName() << ": " << backup.FailureReason() << '\n';
    }
    return result ? 0 : 1;
  } catch (const std::exception& e) {
    trace.Exception(e.what());
    err << "norvarc extract: " << e.what() << '\n';
    return 2;
  }
}

}  // namespace

int RunExtract(const Args& args, std::ostream& out, std::ostream& err) {
  // Not in the help, for benchmarks: --decoder zlib keeps every block on
  // zlib; --measure-serve-gap prints "serve-gap MS CALLS N1 N5 CPU-MS" on
  // stderr: the longest gap between two calls of ServeMessages, the calls,
  // the gaps of at least 1 ms and 5 ms, and the longest in processor time.
  ParsedArgs parsed = ParseArgs(
      args, {"--mode", "--decoder"},
      {"--flat", "--keep-going", "--trace", "--measure-serve-gap", "--sync", "--all-or-nothing"});
  if (parsed.operands.size() != 2) throw UsageError("needs an archive name and a destination");
  const TRestoreMode mode = ParseMode(parsed.Value("--mode", "all"));
  const std::string& dest = parsed.operands[1];
  if (!MakeDestination(dest, err)) return 1;
  const bool zlibOnly = ZlibOnly(parsed.Value("--decoder", "fast"));

  // A finished file is renamed over its target whatever happens; flushing
  // it to the disk first also guards against a power cut, at a high price
  // for many small files (bench/README.md), so it is asked for.
  HostFileSystem fs(dest, parsed.Flag("--sync"));
  HostConsole console;
  std::optional<ServeGapMeter> meter;
  if (parsed.Flag("--measure-serve-gap")) meter.emplace(console);
  UserInterface& ui = meter ? static_cast<UserInterface&>(*meter) : console;
  TBackupFile backup(fs, ui);
  backup.SetZlibOnly(zlibOnly);
  backup.SetRestoreMode(mode);
  backup.SetRestoreFullPath(!parsed.Flag("--flat"));
  backup.SetAllOrNothing(parsed.Flag("--all-or-nothing"));
  if (ReportRecovery(backup.Recover(kSystemDrive), "extract", err) != 0) return 1;
  TracePrinter trace(out, parsed.Flag("--trace"));

  // The file system maps drive names below DEST; the archive's own name is
  // one it leaves alone.
  const std::string volume = UnmappedSystemName(parsed.operands[0]);
  if (!fs.FileExists(volume)) {
    err << "norvarc extract: archive " << parsed.operands[0] << " not found\n";
  }
  BindEvents(backup, fs, trace, parsed.Flag("--keep-going"), err);
  GapReport gapReport{meter, err};
  return Restore(backup, volume, trace, err);
}

}  // namespace norv::tool
