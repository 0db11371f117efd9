#pragma once
// The system's own text for an error code, as the error messages show it.
#include <cstdint>
#include <string>

namespace norv::win32 {

// FormatMessageA text for a Win32 error or HRESULT, without the trailing line
// break, blanks and full stop (the error box adds its own full stop). Empty
// when the system has no text for the code.
std::string SystemErrorText(std::uint32_t code);

}  // namespace norv::win32
