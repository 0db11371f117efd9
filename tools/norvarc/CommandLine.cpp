#include "tools/norvarc/CommandLine.h"

#include <cstdint>
#include <limits>

namespace norv::tool {

std::string ParsedArgs::Value(const std::string& name, const std::string& fallback) const {
  auto it = values.find(name);
  return it == values.end() ? fallback : it->second;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions) {
  ParsedArgs parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      parsed.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (auto eq = arg.find('=');
               eq != std::string::npos && valueOptions.count(arg.substr(0, eq))) {
      parsed.values[arg.substr(0, eq)] = arg.substr(eq + 1);
    } else if (valueOptions.count(arg)) {
      if (i + 1 >= args.size()) throw UsageError("option " + arg + " needs a value");
      parsed.values[arg] = args[++i];
    } else if (flagOptions.count(arg)) {
      parsed.flags.insert(arg);
    } else {
      throw UsageError("unknown option " + arg);
    }
  }
  return parsed;
}

std::int32_t ParsePositiveInt32(const std::string& option, const std::string& text) {
  std::int64_t value = 0;
  bool ok = !text.empty() && text.size() <= 10;
  for (char c : text) {
    if (c < '0' || c > '9') ok = false;
    if (ok) value = value * 10 + (c - '0');
  }
  if (!ok || value < 1 || value > std::numeric_limits<std::int32_t>::max()) {
    throw UsageError(option + " needs a number from 1 to 2147483647, not \"" + text + "\"");
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace norv::tool
