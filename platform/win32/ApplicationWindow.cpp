#include "platform/win32/ApplicationWindow.h"

namespace norv::win32 {

namespace {
constexpr const char* kClassName = "TNorvApplication";
constexpr UINT kPassActivation = WM_APP + 1;
struct TaskWindowSearch {
  HWND except, found;
};

// Called by the system, so it has the system's calling convention (stdcall
// on 32-bit Windows).
BOOL CALLBACK TakeEnabledTaskWindow(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<TaskWindowSearch*>(p);
  if (w == s->except || !IsWindowVisible(w) || !IsWindowEnabled(w)) return TRUE;
  s->found = w;
  return FALSE;
}

// A visible, enabled top-level window of this thread other than `except`:
// the modal window while one is open.
HWND EnabledTaskWindow(HWND except) {
  TaskWindowSearch search{except, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), TakeEnabledTaskWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

ApplicationWindow::ApplicationWindow(HICON icon,
                                     std::function<void(const std::string&)> reportFailure)
    : reportFailure_(std::move(reportFailure)) {
  RegisterWindowClass(kClassName, icon, nullptr);
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  Create(0, kClassName, "", WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
         x, y, 0, 0, nullptr);
  // Only restore, minimise and close stay in the taskbar button's menu.
  HMENU menu = GetSystemMenu(Handle(), FALSE);
  DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
}

void ApplicationWindow::SetTitle(const std::string& title) {
  SetWindowTextA(Handle(), title.c_str());
}

void ApplicationWindow::ShowTaskbarButton() {
  // Zero size: nothing of it is drawn; it only carries the taskbar button.
  SetWindowPos(Handle(), nullptr, GetSystemMetrics(SM_CXSCREEN) / 2,
               GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT ApplicationWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      if (OnClose) OnClose();
      return 0;
    case WM_ACTIVATE:
      // The window only carries the taskbar button: activation passes on to
      // the window of the program that had it last.
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(Handle(), kPassActivation, 0, 0);
      return 0;
    case kPassActivation: {
      HWND popup = GetLastActivePopup(Handle());
      if (!popup || popup == Handle()) popup = main_;
      if (popup && !IsWindowEnabled(popup)) popup = EnabledTaskWindow(Handle());
      if (popup && IsWindowVisible(popup) && IsWindowEnabled(popup) &&
          GetActiveWindow() == Handle()) {
        SetActiveWindow(popup);
      }
      return 0;
    }
    case WM_SYSCOMMAND:
      // The window has no size of its own to change.
      if ((wParam & 0xFFF0) == SC_MAXIMIZE || (wParam & 0xFFF0) == SC_SIZE ||
          (wParam & 0xFFF0) == SC_MOVE) {
        return 0;
      }
      if ((wParam & 0xFFF0) == SC_RESTORE) {
        // The owned windows come back with it; the last active one is
        // activated again once they are shown.
        LRESULT result = Window::HandleMessage(message, wParam, lParam);
        PostMessageA(Handle(), kPassActivation, 0, 0);
        return result;
      }
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace norv::win32
