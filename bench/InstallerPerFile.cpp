// NorvInstallPerFile.exe: the installer replacing file by file, as before
// whole updates became all or nothing; bench/wine.sh times what the
// transaction costs against NorvInstall.exe.
#include <windows.h>

#include "NorvInstall/win32/Win32Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return norv::RunWin32Installer({.allOrNothing = false});
}
