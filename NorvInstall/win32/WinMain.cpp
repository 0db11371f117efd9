// NorvInstall.exe: the Windows program's entry.
#include <windows.h>

#include "NorvInstall/Startup.h"
#include "NorvInstall/win32/Win32Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    norv::Win32Application application;
    return norv::RunStartup(GetCommandLineA(), application);
  } catch (const std::exception& e) {
    // Only a failure to build the windows gets here.
    MessageBoxA(nullptr, e.what(), norv::kApplicationTitle, MB_ICONSTOP | MB_OK);
    return 0;
  }
}
