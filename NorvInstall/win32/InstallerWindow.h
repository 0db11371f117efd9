#pragma once
// The installer window and its child controls: the memo (EDIT), the two
// owner-drawn push buttons, the block progress bar. The pictures are drawn on
// the window's own surface by whoever sets PaintPictures. Keyboard handling
// is done before dispatch (PreTranslate): Tab cycles memo -> "&Instalar" ->
// "&Fechar", Enter presses a focused button, Alt+I / Alt+F press the buttons,
// Esc does nothing.
#include <functional>
#include <string>

#include "NorvInstall/win32/WindowDescription.h"
#include "platform/WindowSystem.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Window.h"

namespace norv::win32 {

class InstallerWindow : public Window {
 public:
  // `cursor` is the application-wide cursor, read on every WM_SETCURSOR.
  InstallerWindow(const WindowDescription& description, HWND owner, const Cursor& cursor,
                  std::function<void(const std::string&)> reportFailure);

  HWND Memo() const { return memo_; }
  HWND Progress() const { return progress_; }

  // Scales a length given at 96 dpi to this system's text size.
  int Scaled(int pixels) const { return MulDiv(pixels, scaleNumerator_, scaleDenominator_); }

  void CentreAndShow();
  // Keyboard routing for the window's messages; true when the message was
  // handled and must not be dispatched.
  bool PreTranslate(const MSG& msg);

  // Memo operations.
  void SetMemoText(const std::string& text);
  void AppendMemoLine(const std::string& line);
  std::string MemoText() const;
  void EnableMemoVerticalScrollBar();

  std::function<void()> OnInstalarClick;
  std::function<void()> OnFecharClick;
  // Close box, system menu, Alt+F4.
  std::function<void()> OnCloseRequest;
  // Draws the pictures on the client area (which they cover).
  std::function<void(HDC)> PaintPictures;
  // Runs once, at the window's first painting.
  std::function<void()> OnFirstPaint;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReportFailure(const std::string& message) override { reportFailure_(message); }

 private:
  void ComputeScale(const FontSpec& font, int textHeight);
  Font MakeFont(const FontSpec& spec) const;
  HWND MakeControl(DWORD exStyle, const char* className, const std::string& text, DWORD style,
                   const ControlSpec& place, int id);
  void Click(HWND button);
  void FocusNext(bool backwards);
  void Paint();
  // Message handlers; those returning a value tell whether they handled it.
  HBRUSH OnCtlColor(HDC dc, HWND control);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  bool OnCommand(WORD code, HWND from);
  bool OnSetCursor(HWND under, WORD hitTest);
  void OnActivate(bool active);

  WindowDescription description_;
  const Cursor& cursor_;
  std::function<void(const std::string&)> reportFailure_;
  int scaleNumerator_ = 1, scaleDenominator_ = 1;
  Font memoFont_, buttonFont_;
  Brush memoBrush_;
  HWND memo_ = nullptr, instalar_ = nullptr, fechar_ = nullptr, progress_ = nullptr;
  HWND lastFocus_ = nullptr;
  bool painted_ = false;
};

}  // namespace norv::win32
