// NorvInstallZlib.exe: the installer with every block on zlib alone, as
// before the fast decoder; bench/wine.sh times it against NorvInstall.exe.
#include <windows.h>

#include "NorvInstall/win32/Win32Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return norv::RunWin32Installer({.decoder = norv::BlockDecoder::Path::ZlibOnly});
}
