#include "tools/norvarc/ProblemText.h"

namespace norv::tool {

std::string ProblemText(const ArchiveProblem& problem) {
  return problem.entry + "\tvolume " + std::to_string(problem.volume) + "\toffset " +
         std::to_string(problem.offset) + '\t' + problem.what;
}

}  // namespace norv::tool
