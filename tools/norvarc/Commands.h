#pragma once
// The commands of norvarc. Each takes the arguments after its name, writes
// its report to `out` and its complaints to `err`, and returns the exit code.
#include <ostream>
#include <string>
#include <vector>

namespace norv {
struct Recovery;
}

namespace norv::tool {

using Args = std::vector<std::string>;

struct Command {
  const char* name;
  const char* summary;  // one line for "norvarc --help"
  const char* help;     // the whole text for "norvarc NAME --help"
  int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

int RunCreate(const Args& args, std::ostream& out, std::ostream& err);
int RunList(const Args& args, std::ostream& out, std::ostream& err);
int RunTest(const Args& args, std::ostream& out, std::ostream& err);
int RunExtract(const Args& args, std::ostream& out, std::ostream& err);
int RunRecover(const Args& args, std::ostream& out, std::ostream& err);

extern const char* const kCreateHelp;
extern const char* const kListHelp;
extern const char* const kTestHelp;
extern const char* const kExtractHelp;
extern const char* const kRecoverHelp;

// Tells on `err` what a recovery found and did; 1 when something could not
// be put back, else 0.
int ReportRecovery(const Recovery& recovery, const std::string& command, std::ostream& err);

// Exit code for a command line that cannot be used.
inline constexpr int kUsageExit = 2;

// Runs "norvarc ARGS..." (without the program name).
int Dispatch(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace norv::tool
