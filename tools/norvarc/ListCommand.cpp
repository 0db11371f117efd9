#include <cstdio>

#include "backup/ArchiveReader.h"
#include "platform/DosDate.h"
#include "tools/norvarc/CommandLine.h"
#include "tools/norvarc/Commands.h"
#include "tools/norvarc/HostPlatform.h"
#include "tools/norvarc/ProblemText.h"
#include "tools/norvarc/SourceFiles.h"
#include "tools/norvarc/TerminalText.h"

namespace norv::tool {

const char* const kListHelp =
    "usage: norvarc list ARCHIVE\n"
    "\n"
    "Prints one line per record, in archive order across all volumes, with\n"
    "TAB-separated fields:\n"
    "  file|file-list|continued  NAME  YYYY-MM-DD HH:MM:SS  SIZE  BLOCKS\n"
    "  next-disk  NEXT:DISKnnn\n"
    "  skip  LENGTH\n"
    "where \"continued\" is the rest of an entry at the start of a later volume\n"
    "and SIZE the bytes its blocks restore to. A total line ends the list.\n"
    "Names are printed in the terminal's encoding; a control character and\n"
    "\"^\" itself print as \"^\" and two hex digits of the byte (TAB as ^09).\n"
    "Exits 1 when the archive cannot be read to its end.\n";

namespace {

std::string DateText(std::int32_t stamp) {
  DosDateTime t = UnpackDosDate(stamp);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace

int RunList(const Args& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed = ParseArgs(args, {}, {});
  if (parsed.operands.size() != 1) throw UsageError("needs exactly one archive name");

  HostFileSystem fs;
  ArchiveReader reader(fs, SystemName(parsed.operands[0]));
  int files = 0;
  if (reader.Open()) {
    while (auto record = reader.Next()) {
      out << RecordKindName(record->kind) << '\t';
      switch (record->kind) {
        case RecordKind::NextDisk:
          out << TerminalText(record->name);
          break;
        case RecordKind::Skip:
          out << record->length;
          break;
        default:
          out << TerminalText(record->name) << '\t' << DateText(record->date) << '\t'
              << record->dataBytes << '\t' << record->blocks;
          if (record->kind == RecordKind::File) ++files;
      }
      out << '\n';
    }
  }
  out << "total\t" << files << " files\t" << reader.RestoredBytes() << " bytes\t"
      << reader.VolumesRead() << " volumes\n";
  if (reader.Complete()) return 0;
  for (const auto& p : reader.Problems()) err << "norvarc list: " << ProblemText(p) << '\n';
  return 1;
}

}  // namespace norv::tool
