#pragma once
#include <string>

#include "backup/ArchiveReader.h"

namespace norv::tool {

// "ENTRY<TAB>volume N<TAB>offset N<TAB>WHAT", texts as TerminalText prints them.
std::string ProblemText(const ArchiveProblem& problem);

}  // namespace norv::tool
