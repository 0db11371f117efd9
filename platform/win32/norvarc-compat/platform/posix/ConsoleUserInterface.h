#pragma once
// The archive tool's terminal dialog, built for Windows: the Win32 console one.
#include "platform/win32/Win32ConsoleUserInterface.h"

namespace norv {
using ConsoleUserInterface = Win32ConsoleUserInterface;
}  // namespace norv
