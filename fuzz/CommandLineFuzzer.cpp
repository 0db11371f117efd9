// Splits arbitrary command lines: no crash, tokens 1..count are not empty,
// the one after them is, and no token keeps a quote character.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "NorvInstall/CommandLine.h"

namespace {
[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const int count = norv::ParamCount(line);
  if (count < 0 || static_cast<std::size_t>(count) > size) Fail("impossible parameter count");
  std::size_t total = 0;
  // Start-up reads at most seven; look one further.
  for (int i = 0; i <= count && i <= 8; ++i) {
    const std::string token = norv::ParamStr(line, i);
    if (token.find('"') != std::string::npos) Fail("a token keeps a quote character");
    if (i >= 1 && token.empty()) Fail("a counted parameter is empty");
    total += token.size();
  }
  if (total > size) Fail("tokens longer than the line");
  if (!norv::ParamStr(line, count + 1).empty()) Fail("a parameter after the count");
  if (!norv::ParamStr(line, -1).empty()) Fail("a negative index yields a token");
  return 0;
}
