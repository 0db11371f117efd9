#pragma once
// The application window: a zero-size top-level window that owns the
// installer window and carries the taskbar button (text = the title). Its
// system menu, the taskbar button's menu, offers restore, minimise and close.
#include <functional>
#include <string>

#include "platform/win32/Window.h"

namespace norv::win32 {

class ApplicationWindow : public Window {
 public:
  ApplicationWindow(HICON icon, std::function<void(const std::string&)> reportFailure);

  void SetTitle(const std::string& title);
  // Shows the window and with it the taskbar button (once, at first showing).
  void ShowTaskbarButton();

  // The window that activation passes on to when no other owned window had
  // it last.
  void SetMainWindow(HWND window) { main_ = window; }

  // Close from the taskbar button's menu: closes the main window.
  std::function<void()> OnClose;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReportFailure(const std::string& message) override { reportFailure_(message); }

 private:
  std::function<void(const std::string&)> reportFailure_;
  HWND main_ = nullptr;
};

}  // namespace norv::win32
