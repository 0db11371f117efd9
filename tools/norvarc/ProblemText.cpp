#include "tools/norvarc/ProblemText.h"

#include "tools/norvarc/TerminalText.h"

namespace norv::tool {

std::string ProblemText(const ArchiveProblem& problem) {
  return TerminalText(problem.entry) + "\tvolume " + std::to_string(problem.volume) + "\toffset " +
         std::to_string(problem.offset) + '\t' + TerminalText(problem.what);
}

}  // namespace norv::tool
