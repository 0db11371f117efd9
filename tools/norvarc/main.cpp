// norvarc: makes, lists, tests and extracts archives.
#include <iostream>

#include "tools/norvarc/Commands.h"

int main(int argc, char** argv) {
  norv::tool::Args args(argv + 1, argv + argc);
  int code = norv::tool::Dispatch(args, std::cout, std::cerr);
  std::cout.flush();
  return code;
}
