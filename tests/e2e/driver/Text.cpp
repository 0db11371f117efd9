#include "Text.h"

#include <cstdlib>
#include <stdexcept>

namespace norv::e2e {

std::string Argument(const std::string& text) {
  static const std::string kHex = "hex:";
  if (text.compare(0, kHex.size(), kHex) != 0) return text;
  if ((text.size() - kHex.size()) % 2 != 0) throw std::invalid_argument("odd hex: " + text);
  std::string bytes;
  for (std::size_t i = kHex.size(); i < text.size(); i += 2) {
    char* end = nullptr;
    std::string pair = text.substr(i, 2);
    unsigned long value = std::strtoul(pair.c_str(), &end, 16);
    if (end != pair.c_str() + 2) throw std::invalid_argument("bad hex: " + text);
    bytes += static_cast<char>(value);
  }
  return bytes;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace norv::e2e
