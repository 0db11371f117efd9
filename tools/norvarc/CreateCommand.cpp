#include <filesystem>
#include <map>
#include <thread>

#include "backup/ArchiveFormat.h"
#include "backup/ArchiveWriter.h"
#include "platform/Paths.h"
#include "tools/norvarc/CommandLine.h"
#include "tools/norvarc/Commands.h"
#include "tools/norvarc/HostPlatform.h"
#include "tools/norvarc/SourceFiles.h"

namespace norv::tool {

const char* const kCreateHelp =
    "usage: norvarc create [OPTIONS] ARCHIVE.001 PATH...\n"
    "\n"
    "Makes an archive of the files under each PATH (directories are recursed,\n"
    "files sorted by name). A file is stored as PREFIX\\ followed by its path\n"
    "relative to the parent of the PATH it was found under, with backslashes.\n"
    "Later volumes are named after ARCHIVE with the extensions .002, .003, ...\n"
    "\n"
    "options:\n"
    "  --level fastest|none|default|max  compression level (default max;\n"
    "                                    none stores every block)\n"
    "  --max-size BYTES    no volume file grows beyond BYTES (default: one volume)\n"
    "  --title TEXT        the archive header's text (default empty)\n"
    "  --file-list         add a FILE:LIST entry naming every stored file\n"
    "  --prefix 'C:\\DIR'   drive and directory the stored names start with\n"
    "                      (default C:)\n"
    "  -j, --jobs N        compress on N threads (default: one per core); the\n"
    "                      archive is the same for any N\n"
    "\n"
    "Prints each volume with its size, then a total line.\n";

namespace {

TCompressionLevel ParseLevel(const std::string& text) {
  static const std::map<std::string, TCompressionLevel> kLevels = {
      {"fastest", clFastest}, {"none", clNone}, {"default", clDefault}, {"max", clMax}};
  auto it = kLevels.find(text);
  if (it == kLevels.end()) throw UsageError("unknown level \"" + text + "\"");
  return it->second;
}

// Whether `file` is (or could become) a volume of `archive`: the archive
// itself, or its name with a three-digit extension. Reading a volume while
// writing it would make it grow without end.
bool IsVolumeOf(const std::filesystem::path& file, const std::filesystem::path& archive) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path f = fs::weakly_canonical(file, ec);
  const fs::path a = fs::weakly_canonical(archive, ec);
  if (f == a) return true;
  const std::string extension = f.extension().string();  // ".002"
  if (extension.empty() || f.parent_path() != a.parent_path()) return false;
  const std::string digits = extension.substr(1);
  return archive::IsVolumeDigits(digits) &&
         f.filename().string() == archive::VolumeFileName(a.filename().string(), digits);
}

}  // namespace

int RunCreate(const Args& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed = ParseArgs(
      args, {"--level", "--max-size", "--title", "--prefix", "-j", "--jobs"}, {"--file-list"});
  if (parsed.operands.size() < 2) throw UsageError("needs an archive name and at least one path");

  ArchiveOptions options;
  options.level = ParseLevel(parsed.Value("--level", "max"));
  if (parsed.values.count("--max-size")) {
    options.maxSize = ParsePositiveInt32("--max-size", parsed.values["--max-size"]);
  }
  options.title = parsed.Value("--title", "");
  options.fileList = parsed.Flag("--file-list");
  const unsigned cores = std::thread::hardware_concurrency();
  options.jobs = cores > 0 ? static_cast<int>(cores) : 1;
  for (const char* jobs : {"-j", "--jobs"}) {
    if (parsed.values.count(jobs)) options.jobs = ParsePositiveInt32(jobs, parsed.values[jobs]);
  }

  std::vector<std::string> paths(parsed.operands.begin() + 1, parsed.operands.end());
  // Every name is converted before any volume is begun: a name that
  // Windows-1252 cannot hold stops the command with nothing written.
  const std::string archiveName = SystemName(parsed.operands[0]);
  std::vector<ArchiveEntry> entries;
  for (auto& source : CollectSources(paths, parsed.Value("--prefix", kSystemDrive))) {
    if (IsVolumeOf(source.hostPath, HostPath(parsed.operands[0]))) {
      err << "norvarc create: leaving out " << source.hostPath.string()
          << ", a volume of the archive\n";
    } else {
      entries.push_back(std::move(source.entry));
    }
  }

  HostFileSystem fs;
  ArchiveWriter writer(fs, archiveName, options);
  try {
    for (const auto& e : entries) writer.AddFile(e.storedName, e.sourcePath);
    ArchiveSummary summary = writer.Finish();
    for (const auto& v : summary.volumes) {
      out << "volume\t" << fs.NativePath(v.name) << '\t' << v.bytes << '\n';
    }
    out << "total\t" << entries.size() << " files\t" << summary.totalBytes << " bytes\t"
        << summary.compressedBlocks << " compressed blocks\t" << summary.storedBlocks
        << " stored blocks\n";
    return 0;
  } catch (const std::exception& e) {
    err << "norvarc create: " << e.what() << '\n';
    // An unfinished archive is of no use: remove the volumes begun.
    for (const auto& v : writer.Volumes()) {
      std::error_code ec;
      std::filesystem::remove(HostPath(fs.NativePath(v.name)), ec);
    }
    return 1;
  }
}

}  // namespace norv::tool
