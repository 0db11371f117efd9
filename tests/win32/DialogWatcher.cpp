#include "tests/win32/DialogWatcher.h"

#include <cstring>

namespace norv::win32::testing {

namespace {

BOOL CALLBACK FindDialog(HWND w, LPARAM result) {
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  char className[32];
  if (process == GetCurrentProcessId() && IsWindowVisible(w) &&
      GetClassNameA(w, className, sizeof className) && std::strcmp(className, "#32770") == 0) {
    *reinterpret_cast<HWND*>(result) = w;
    return FALSE;
  }
  return TRUE;
}

std::string TextOf(HWND w) {
  char buffer[4096] = {};
  GetWindowTextA(w, buffer, sizeof buffer);
  return buffer;
}

}  // namespace

DialogWatcher::DialogWatcher(std::function<void(HWND)> act) : act_(std::move(act)) {
  thread_ = std::thread([this] {
    for (int i = 0; i < 400; ++i) {  // 20 s at most
      HWND dialog = nullptr;
      EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&dialog));
      if (dialog) {
        Sleep(100);  // let it finish its first painting
        seen_.Found = true;
        seen_.Caption = TextOf(dialog);
        seen_.Text = TextOf(GetDlgItem(dialog, 0xFFFF));
        seen_.HasOk = GetDlgItem(dialog, IDOK) != nullptr;
        seen_.HasCancel = GetDlgItem(dialog, IDCANCEL) != nullptr;
        GetWindowRect(dialog, &seen_.Bounds);
        act_(dialog);
        return;
      }
      Sleep(50);
    }
  });
}

DialogWatcher::~DialogWatcher() {
  if (thread_.joinable()) thread_.join();
}

const SeenDialog& DialogWatcher::Seen() {
  if (thread_.joinable()) thread_.join();
  return seen_;
}

}  // namespace norv::win32::testing
