#include "NorvInstall/CommandLine.h"

#include <cstddef>

namespace norv {
namespace {

// The line ends at its first NUL, as the platform's text does.
unsigned char At(const std::string& line, std::size_t i) {
  return i < line.size() ? static_cast<unsigned char>(line[i]) : 0;
}

// Reads the token that starts at or after `pos` into `token`; returns the
// position after it. Windows-1252 has no double-byte characters, and the
// trail bytes of double-byte code pages are never blanks or quotes, so
// stepping byte by byte never cuts a character.
std::size_t NextToken(const std::string& line, std::size_t pos, std::string& token) {
  for (;;) {
    while (At(line, pos) != 0 && At(line, pos) <= ' ') ++pos;
    if (At(line, pos) == '"' && At(line, pos + 1) == '"') {
      pos += 2;  // an empty pair of quotes holds no place
    } else {
      break;
    }
  }
  token.clear();
  while (At(line, pos) > ' ') {
    if (At(line, pos) == '"') {
      ++pos;
      while (At(line, pos) != 0 && At(line, pos) != '"') token += line[pos++];
      if (At(line, pos) != 0) ++pos;  // the closing quote
    } else {
      token += line[pos++];
    }
  }
  return pos;
}

}  // namespace

int ParamCount(const std::string& commandLine) {
  std::string token;
  std::size_t pos = NextToken(commandLine, 0, token);  // the program name
  int count = 0;
  for (;;) {
    pos = NextToken(commandLine, pos, token);
    if (token.empty()) return count;
    ++count;
  }
}

std::string ParamStr(const std::string& commandLine, int index) {
  if (index < 0) return {};
  std::string token;
  std::size_t pos = 0;
  for (;;) {
    pos = NextToken(commandLine, pos, token);
    if (index == 0 || token.empty()) return token;
    --index;
  }
}

}  // namespace norv
