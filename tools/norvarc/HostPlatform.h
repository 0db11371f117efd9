#pragma once
// The file system and terminal dialog of the machine the tool runs on: both
// map a drive name ("C:") below a root folder given at construction.
#if defined(_WIN32)
#include "platform/win32/Win32ConsoleUserInterface.h"
#include "platform/win32/Win32FileSystem.h"
#else
#include "platform/posix/ConsoleUserInterface.h"
#include "platform/posix/PosixFileSystem.h"
#endif

namespace norv {

#if defined(_WIN32)
using HostFileSystem = Win32FileSystem;
using HostConsole = Win32ConsoleUserInterface;
#else
using HostFileSystem = PosixFileSystem;
using HostConsole = ConsoleUserInterface;
#endif

}  // namespace norv
