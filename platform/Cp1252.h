#pragma once
// Windows-1252 text <-> UTF-16, as the system converts through its ANSI code
// page: the five unassigned bytes map to the control characters of the same
// value, and UTF-16 characters without a Windows-1252 byte become "?".
#include <string>

namespace norv {

std::u16string Cp1252ToUtf16(const std::string& text);
std::string Utf16ToCp1252(const std::u16string& text);

}  // namespace norv
