#pragma once
// Stored names (Windows-1252 bytes) as "list" and "test" print them: one
// name can never forge a line, a field or a terminal command.
#include <string>

namespace norv::tool {

// Control characters (bytes below 0x20, 0x7F, and the five bytes that
// Windows-1252 leaves unassigned, which decode to control characters) and
// "^" itself become "^" and the byte in two upper-case hex digits: a TAB
// prints as "^09", a "^" as "^5E". Backslash separators stay as they are.
// The rest is converted to UTF-8 on Linux and left as Windows-1252 bytes on
// Windows, whose console reads them in the ANSI code page.
std::string TerminalText(const std::string& name);

}  // namespace norv::tool
