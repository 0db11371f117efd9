#pragma once
// Runs one program as a child process and measures it from the outside:
// wall time, peak resident memory (the child's own, through GNU time), and
// what it printed.
#include <string>
#include <vector>

namespace norv::bench {

struct ChildResult {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system time of the child
  long peakRssKiB = 0;
  int exitCode = -1;  // -1 when killed by a signal
  std::string out;
  std::string err;
};

// Runs `argv` (argv[0] looked up in PATH) in `cwd` (empty: ours), with
// stdin from /dev/null; stdout and stderr go through files in `scratch`.
ChildResult RunChild(const std::vector<std::string>& argv, const std::string& cwd,
                     const std::string& scratch);

}  // namespace norv::bench
