#pragma once
// The window system of a Windows program: the application window (taskbar
// button), the application-wide cursor, the message dialog, the error box and
// the message loop with the program's end request. The program's own main
// window, with whatever it shows, belongs to a derived class.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/WindowSystem.h"
#include "platform/win32/ApplicationWindow.h"

namespace norv::win32 {

class Win32WindowSystem : public WindowSystem {
 public:
  // `errorBoxText` turns a failure's message into the error box's text.
  Win32WindowSystem(HICON applicationIcon,
                    std::function<std::string(const std::string&)> errorBoxText);
  ~Win32WindowSystem() override;

  // The taskbar text and the error box's caption.
  void SetTitle(const std::string& title);
  // Shows the taskbar button and the main window, centred.
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
  // At most once per kServeInterval: under Wine each look at the queue is a
  // server round trip of about 50 us, and a restore asks after every block.
  void ServeMessagesWhenDue() override;
  // Measured on the performance counter: Wine's GetTickCount can stay still
  // for longer than that.
  static constexpr std::chrono::milliseconds kServeInterval{10};
  void SetCursor(Cursor cursor) override;
  void ErrorBox(const std::string& text) override;

 protected:
  // The owner of the program's top-level windows.
  HWND ApplicationHandle() const { return application_->Handle(); }
  // The cursor the program's windows show, read on every WM_SETCURSOR.
  const Cursor& ApplicationCursor() const { return cursor_; }
  // Makes `window` the main window: activation and the taskbar button's
  // close go to it.
  void SetMainWindow(HWND window);
  // Shows the main window, centred.
  virtual void ShowMain() = 0;
  // Keyboard routing before dispatch; true when the message was handled.
  virtual bool PreTranslate(const MSG&) { return false; }
  // Called as the queue is about to be served. A derived class may put a
  // change to its window off until then; `waitFollows` is true before the
  // program waits (the message loop, a dialog, the error box), when nothing
  // may stay put off.
  virtual void BeforeServing(bool /*waitFollows*/) {}
  void ReportFailure(const std::string& message);

 private:
  void Dispatch(MSG& msg);
  // Shows the current application cursor at once, without a mouse move.
  void RefreshCursor();

  std::function<std::string(const std::string&)> errorBoxText_;
  std::string title_;
  Cursor cursor_ = Cursor::Default;
  bool endRequested_ = false;
  std::chrono::steady_clock::time_point lastServed_{};
  std::unique_ptr<ApplicationWindow> application_;
};

}  // namespace norv::win32
