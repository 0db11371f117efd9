#pragma once
// Windows-1252 text <-> Unicode, the one place that converts the system's
// names. The five unassigned bytes map to the control characters of the same
// value, so every byte has a character and every 1252 text converts back.
#include <optional>
#include <string>

namespace norv {

// As the system converts through its ANSI code page: UTF-16 characters
// without a Windows-1252 byte become "?".
std::u16string Cp1252ToUtf16(const std::string& text);
std::string Utf16ToCp1252(const std::u16string& text);

// Exact conversions for names, where a "?" would name another file: nothing
// when a character has no Windows-1252 byte (or the UTF-16 is broken).
std::optional<std::string> Utf16ToCp1252Exact(const std::u16string& text);

// The host's UTF-8 names. Utf8ToCp1252 gives nothing for bytes that are not
// UTF-8 and for characters without a Windows-1252 byte.
std::string Cp1252ToUtf8(const std::string& text);
std::optional<std::string> Utf8ToCp1252(const std::string& text);

}  // namespace norv
