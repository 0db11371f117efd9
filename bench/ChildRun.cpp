#include "bench/ChildRun.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace norv::bench {

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, const std::string& cwd,
                     const std::string& scratch) {
  const std::string outPath = scratch + "/child.out";
  const std::string errPath = scratch + "/child.err";
  const std::string rssPath = scratch + "/child.time";
  // A child's peak RSS counts the memory of the process it was forked from,
  // so the child is started by GNU time, a process far smaller than ours,
  // which reports the peak of its own child.
  std::vector<std::string> full = {"/usr/bin/time", "-f", "%M %U %S", "-o", rssPath, "--"};
  full.insert(full.end(), argv.begin(), argv.end());
  std::vector<char*> args;
  for (const auto& a : full) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec.
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(126);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid) throw std::runtime_error("wait4 failed");
  const auto end = std::chrono::steady_clock::now();

  ChildResult result;
  result.seconds = std::chrono::duration<double>(end - start).count();
  std::istringstream measured(Slurp(rssPath));
  double user = 0, system = 0;
  measured >> result.peakRssKiB >> user >> system;
  result.cpuSeconds = user + system;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = Slurp(outPath);
  result.err = Slurp(errPath);
  return result;
}

}  // namespace norv::bench
