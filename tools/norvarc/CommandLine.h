#pragma once
// Splits a command's arguments into options and operands.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Errors.h"

namespace norv::tool {

// A command line the command cannot accept; the message says why.
class UsageError : public Exception {
 public:
  using Exception::Exception;
};

struct ParsedArgs {
  std::map<std::string, std::string> values;  // "--name VALUE" or "--name=VALUE"
  std::set<std::string> flags;                // "--name"
  std::vector<std::string> operands;
  bool help = false;  // "--help" or "-h"

  bool Flag(const std::string& name) const { return flags.count(name) > 0; }
  std::string Value(const std::string& name, const std::string& fallback) const;
};

// Options are the names in `valueOptions` and `flagOptions` (with their
// leading "--"); "--" ends them. Throws UsageError for anything else.
ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions);

// A decimal number in 1..2147483647. Throws UsageError.
std::int32_t ParsePositiveInt32(const std::string& option, const std::string& text);

}  // namespace norv::tool
