#include "platform/win32/Win32WindowSystem.h"

#include <commctrl.h>

#include "platform/win32/Gdi.h"
#include "platform/win32/MessageDialog.h"

namespace norv::win32 {

Win32WindowSystem::Win32WindowSystem(HICON applicationIcon,
                                     std::function<std::string(const std::string&)> errorBoxText)
    : errorBoxText_(std::move(errorBoxText)) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  application_ = std::make_unique<ApplicationWindow>(
      applicationIcon, [this](const std::string& m) { ReportFailure(m); });
}

Win32WindowSystem::~Win32WindowSystem() = default;

void Win32WindowSystem::SetTitle(const std::string& title) {
  title_ = title;
  application_->SetTitle(title);
}

void Win32WindowSystem::SetMainWindow(HWND window) {
  application_->SetMainWindow(window);
  application_->OnClose = [window] { PostMessageA(window, WM_CLOSE, 0, 0); };
}

void Win32WindowSystem::ShowMainWindow() {
  application_->ShowTaskbarButton();
  ShowMain();
}

void Win32WindowSystem::RequestEnd() {
  endRequested_ = true;
  PostQuitMessage(0);
}

void Win32WindowSystem::ReportFailure(const std::string& message) {
  ErrorBox(errorBoxText_ ? errorBoxText_(message) : message);
}

void Win32WindowSystem::Dispatch(MSG& msg) {
  if (PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

void Win32WindowSystem::RunMessageLoop(const std::function<void()>& firstShow) {
  firstShow();
  MSG msg;
  while (!endRequested_) {
    BeforeServing(true);
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    Dispatch(msg);
  }
}

void Win32WindowSystem::ServeMessagesWhenDue() {
  if (std::chrono::steady_clock::now() - lastServed_ < kServeInterval) return;
  ServeMessages();
}

void Win32WindowSystem::ServeMessages() {
  lastServed_ = std::chrono::steady_clock::now();
  BeforeServing(false);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Closing during an installation: recorded, the installation goes on.
      endRequested_ = true;
      continue;
    }
    Dispatch(msg);
  }
}

DialogResult Win32WindowSystem::MessageDialog(const std::string& text, DialogKind kind,
                                              DialogButtons buttons) {
  BeforeServing(true);
  // The arrow while the dialog is open, the previous cursor afterwards.
  const Cursor saved = cursor_;
  SetCursor(Cursor::Default);
  DialogResult result = DialogResult::Cancel;
  try {
    result = RunMessageDialog(application_->Handle(), text, kind, buttons, endRequested_);
  } catch (...) {
    SetCursor(saved);
    throw;
  }
  SetCursor(saved);
  return result;
}

void Win32WindowSystem::SetCursor(Cursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  RefreshCursor();
}

void Win32WindowSystem::RefreshCursor() {
  if (cursor_ == Cursor::HourGlass) {
    ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    return;
  }
  // Let the window under the mouse choose its own cursor again.
  POINT p;
  if (!GetCursorPos(&p)) return;
  HWND under = WindowFromPoint(p);
  if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
  // A window disabled by a modal dialog shows the arrow, whatever its
  // controls would choose.
  if (!IsWindowEnabled(GetAncestor(under, GA_ROOT))) {
    ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return;
  }
  LRESULT hit = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
               MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

void Win32WindowSystem::ErrorBox(const std::string& text) {
  BeforeServing(true);
  HWND previouslyActive = GetActiveWindow();
  {
    TaskWindowsDisabled disabled;
    MessageBoxA(application_->Handle(), text.c_str(), title_.c_str(), MB_ICONSTOP | MB_OK);
  }
  if (previouslyActive && IsWindow(previouslyActive)) SetActiveWindow(previouslyActive);
}

}  // namespace norv::win32
