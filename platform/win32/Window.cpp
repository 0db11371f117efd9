#include "platform/win32/Window.h"

#include <exception>

#include "platform/Errors.h"

namespace norv::win32 {

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Window::RegisterWindowClass(const char* className, HICON icon, HBRUSH background, UINT style) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &Window::Procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = icon;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  RegisterClassExA(&wc);
}

void Window::Create(DWORD exStyle, const char* className, const std::string& text, DWORD style,
                    int x, int y, int width, int height, HWND owner) {
  if (!CreateWindowExA(exStyle, className, text.c_str(), style, x, y, width, height, owner, nullptr,
                       GetModuleHandleA(nullptr), this)) {
    throw Exception("Error creating window");
  }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  std::string failure;
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& e) {
    failure = e.what();
  } catch (...) {
    failure = "Unknown exception";
  }
  // Reported outside the catch block: the error box runs a message loop.
  self->ReportFailure(failure);
  return 0;
}

}  // namespace norv::win32
