#pragma once
// The driver's subcommands. Each takes its arguments (after the subcommand
// name) and returns the process exit code: 0 done, 1 not found or timed out.
#include <string>
#include <vector>

namespace norv::e2e {

using Args = std::vector<std::string>;

int Start(const Args& args, bool wait);
int WaitExit(const Args& args);
int WaitWindow(const Args& args);
int Click(const Args& args);
int Memo(const Args& args);
int WaitMemo(const Args& args);
int Progress(const Args& args);
int Dialogs(const Args& args, bool wait);
int Answer(const Args& args);
int Geometry(const Args& args);
int Hold(const Args& args);
// Holds FILE open without sharing until the hidden window of CLASS is closed.
int Lock(const Args& args);
int Close(const Args& args);
int ListWindows(const Args& args);

// Writes one output line and flushes it at once, so that a caller watching
// the output file of a long-running subcommand sees it.
void Emit(const std::string& line);

// Reports a failure on stderr and returns 1.
int Fail(const std::string& message);

}  // namespace norv::e2e
