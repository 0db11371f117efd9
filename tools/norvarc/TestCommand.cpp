#include "backup/ArchiveReader.h"
#include "tools/norvarc/CommandLine.h"
#include "tools/norvarc/Commands.h"
#include "tools/norvarc/HostPlatform.h"
#include "tools/norvarc/ProblemText.h"
#include "tools/norvarc/SourceFiles.h"

namespace norv::tool {

const char* const kTestHelp =
    "usage: norvarc test ARCHIVE\n"
    "\n"
    "Reads every volume and inflates every block, writing nothing. When\n"
    "\"extract\" would restore every file, it prints one line \"ok\" with the\n"
    "counts (and notes on stderr of damage a restore passes over) and exits 0;\n"
    "otherwise it prints one line per problem, with TAB-separated fields\n"
    "  ENTRY  volume N  offset N  WHAT\n"
    "(offset: of the record or block within its volume) and exits 1.\n"
    "Names are printed in the terminal's encoding; a control character and\n"
    "\"^\" itself print as \"^\" and two hex digits of the byte (TAB as ^09).\n";

int RunTest(const Args& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed = ParseArgs(args, {}, {});
  if (parsed.operands.size() != 1) throw UsageError("needs exactly one archive name");

  HostFileSystem fs;
  ArchiveReader reader(fs, SystemName(parsed.operands[0]));
  int files = 0;
  int blocks = 0;
  if (reader.Open()) {
    while (auto record = reader.Next()) {
      if (record->kind == RecordKind::File) ++files;
      blocks += record->blocks;
    }
  }
  if (reader.Sound()) {
    out << "ok\t" << files << " files\t" << reader.RestoredBytes() << " bytes\t" << blocks
        << " blocks\t" << reader.VolumesRead() << " volumes\n";
    // What the restore passes over without failing.
    for (const auto& p : reader.Problems()) err << "norvarc test: note: " << ProblemText(p) << '\n';
    return 0;
  }
  for (const auto& p : reader.Problems()) out << ProblemText(p) << '\n';
  return 1;
}

}  // namespace norv::tool
