#include "tools/norvarc/TerminalText.h"

#include "platform/Cp1252.h"

namespace norv::tool {

namespace {

bool NeedsEscape(unsigned char b) {
  return b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D ||
         b == '^';
}

std::string InTerminalEncoding(const std::string& text) {
#if defined(_WIN32)
  return text;
#else
  return Cp1252ToUtf8(text);
#endif
}

}  // namespace

std::string TerminalText(const std::string& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  std::string plain;  // the run of bytes since the last escape
  for (char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (!NeedsEscape(b)) {
      plain += c;
      continue;
    }
    out += InTerminalEncoding(plain);
    plain.clear();
    out += '^';
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
  }
  return out + InTerminalEncoding(plain);
}

}  // namespace norv::tool
