#pragma once
// The window system of the Windows program: the application window, the
// installer window, the application-wide cursor, the message dialog, the
// error box and the message loop with the program's end request.
#include <functional>
#include <memory>
#include <string>

#include "platform/WindowSystem.h"
#include "platform/win32/ApplicationWindow.h"
#include "platform/win32/InstallerWindow.h"

namespace norv::win32 {

class Win32WindowSystem : public WindowSystem {
 public:
  // `errorBoxText` turns a failure's message into the error box's text.
  Win32WindowSystem(HICON applicationIcon,
                    std::function<std::string(const std::string&)> errorBoxText);
  ~Win32WindowSystem() override;

  // The taskbar text and the error box's caption.
  void SetTitle(const std::string& title);
  // Creates the installer window hidden, owned by the application window.
  InstallerWindow& CreateInstallerWindow(const WindowDescription& description);
  InstallerWindow& Installer() { return *installer_; }

  // Shows the taskbar button and the installer window, centred.
  void ShowMainWindow();
  // The end request: recorded, and the quit message posted.
  void RequestEnd();
  bool EndRequested() const { return endRequested_; }
  // Runs `firstShow`, then dispatches messages until the end request.
  void RunMessageLoop(const std::function<void()>& firstShow);

  // WindowSystem.
  DialogResult MessageDialog(const std::string& text, DialogKind kind,
                             DialogButtons buttons) override;
  void ServeMessages() override;
  void SetMemoText(const std::string& text) override;
  void ClearMemo() override;
  void AppendMemoLine(const std::string& line) override;
  void EnableMemoVerticalScrollBar() override;
  std::string MemoText() override;
  void SetProgressMax(int max) override;
  void SetProgressPosition(int position) override;
  void SetCursor(Cursor cursor) override;
  void ErrorBox(const std::string& text) override;

 private:
  void Dispatch(MSG& msg);
  void ReportFailure(const std::string& message);
  // Shows the current application cursor at once, without a mouse move.
  void RefreshCursor();

  std::function<std::string(const std::string&)> errorBoxText_;
  std::string title_;
  Cursor cursor_ = Cursor::Default;
  bool endRequested_ = false;
  std::unique_ptr<ApplicationWindow> application_;
  std::unique_ptr<InstallerWindow> installer_;
};

}  // namespace norv::win32
