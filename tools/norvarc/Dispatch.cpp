#include <array>

#include "tools/norvarc/CommandLine.h"
#include "tools/norvarc/Commands.h"
#include "tools/norvarc/SourceFiles.h"

namespace norv::tool {

namespace {

const std::array<Command, 5> kCommands = {{
    {"create", "make an archive from files and directories", kCreateHelp, RunCreate},
    {"list", "list the records of an archive", kListHelp, RunList},
    {"test", "check every volume and block of an archive", kTestHelp, RunTest},
    {"extract", "restore an archive below a directory", kExtractHelp, RunExtract},
    {"recover", "finish an interrupted all-or-nothing extract", kRecoverHelp, RunRecover},
}};

void PrintUsage(std::ostream& out) {
  out << "usage: norvarc COMMAND [OPTIONS] ARGUMENTS...\n\ncommands:\n";
  for (const auto& c : kCommands) {
    out << "  " << c.name << std::string(10 - std::string(c.name).size(), ' ') << c.summary << '\n';
  }
  out << "\n\"norvarc COMMAND --help\" describes a command.\n";
}

bool AsksForHelp(const Args& args) {
  for (const auto& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

}  // namespace

int Dispatch(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintUsage(err);
    return kUsageExit;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintUsage(out);
    return 0;
  }
  for (const auto& c : kCommands) {
    if (args[0] != c.name) continue;
    Args rest(args.begin() + 1, args.end());
    if (AsksForHelp(rest)) {
      out << c.help;
      return 0;
    }
    try {
      return c.run(rest, out, err);
    } catch (const UsageError& e) {
      err << "norvarc " << c.name << ": " << e.what() << "\n(see \"norvarc " << c.name
          << " --help\")\n";
      return kUsageExit;
    } catch (const HostNameError& e) {
      err << "norvarc " << c.name << ": " << e.what() << '\n';
      return 1;
    }
  }
  err << "norvarc: unknown command \"" << args[0] << "\"\n";
  PrintUsage(err);
  return kUsageExit;
}

}  // namespace norv::tool
