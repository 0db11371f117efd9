// Follow-up program for the end-to-end tests: appends its own file name (no
// folder) and a line break to "marker.txt" in its current directory (the
// installer's, which it inherits), then exits. Copies under different names
// show in which order the installer started them.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, length);
  std::size_t slash = self.find_last_of('\\');
  std::string line = self.substr(slash + 1) + "\r\n";
  HANDLE file = CreateFileA("marker.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
