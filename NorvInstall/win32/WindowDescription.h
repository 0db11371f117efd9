#pragma once
// The installer window's stored description in the form the Win32 layer
// builds it from.
#include "platform/win32/WindowDescription.h"

namespace norv {

win32::WindowDescription InstallerWindowDescription();

}  // namespace norv
