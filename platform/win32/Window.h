#pragma once
// Base of the program's own windows: one registered window procedure finds
// the C++ object through lpCreateParams at WM_NCCREATE and dispatches to it.
// It is also the exception firewall: nothing thrown by a handler may unwind
// through the system's frames, so the dispatcher catches and reports it.
#include <windows.h>

#include <string>

namespace norv::win32 {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }

  // Registers a class whose procedure dispatches to Window objects.
  static void RegisterWindowClass(const char* className, HICON icon, HBRUSH background,
                                  UINT style = 0);

 protected:
  // Creates the window; `this` receives its messages from WM_NCCREATE on.
  void Create(DWORD exStyle, const char* className, const std::string& text, DWORD style, int x,
              int y, int width, int height, HWND owner);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Shows the message of an exception that the dispatcher caught.
  virtual void ReportFailure(const std::string& message) = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

}  // namespace norv::win32
