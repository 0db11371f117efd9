// NorvInstall.exe: the Windows program's entry.
#include <windows.h>

#include "NorvInstall/win32/Win32Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return norv::RunWin32Installer({});
}
