#pragma once
// The archive tool names its file system after the POSIX one; built for
// Windows it gets the Win32 file system, which maps drives the same way.
#include "platform/win32/Win32FileSystem.h"

namespace norv {
using PosixFileSystem = Win32FileSystem;
}  // namespace norv
