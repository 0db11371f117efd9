#include "NorvInstall/win32/InstallerWindow.h"

#include <commctrl.h>

#include <tuple>
#include <utility>
#include <vector>

#include "platform/Errors.h"
#include "platform/win32/ClassicButton.h"

namespace norv::win32 {

namespace {
enum ControlId { kMemoId = 100, kInstalarId, kFecharId, kProgressId };

constexpr DWORD kWindowStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
// A fixed dialog frame without icon; Tab handled by PreTranslate.
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
}  // namespace

InstallerWindow::InstallerWindow(const WindowDescription& description, HWND owner,
                                 const Cursor& cursor,
                                 std::function<void(const std::string&)> reportFailure)
    : description_(description), cursor_(cursor), reportFailure_(std::move(reportFailure)) {
  ComputeScale(description_.Font, description_.TextHeight);
  const auto& d = description_;
  RegisterWindowClass(d.ClassName.c_str(), nullptr, nullptr);

  RECT frame{0, 0, Scaled(d.ClientWidth), Scaled(d.ClientHeight)};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  Create(kWindowExStyle, d.ClassName.c_str(), d.Caption, kWindowStyle, 0, 0,
         frame.right - frame.left, frame.bottom - frame.top, owner);

  // A dialog frame: the system menu offers only move and close.
  HMENU menu = GetSystemMenu(Handle(), FALSE);
  for (UINT item : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE}) {
    DeleteMenu(menu, item, MF_BYCOMMAND);
  }

  memoFont_ = MakeFont(d.MemoFont);
  buttonFont_ = MakeFont(d.ButtonFont);
  memoBrush_ = Brush(CreateSolidBrush(d.MemoColour));

  // Creation order is the tab order: memo, "&Instalar", "&Fechar", progress.
  memo_ = MakeControl(
      WS_EX_CLIENTEDGE, "EDIT", "",
      WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_LEFT | ES_AUTOVSCROLL | ES_WANTRETURN, d.Memo,
      kMemoId);
  SendMessageA(memo_, EM_SETLIMITTEXT, 0, 0);  // the platform's largest
  SendMessageA(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(memoFont_.Get()), FALSE);

  for (auto [button, caption, place, id] :
       {std::tuple{&instalar_, &d.InstalarCaption, &d.Instalar, kInstalarId},
        std::tuple{&fechar_, &d.FecharCaption, &d.Fechar, kFecharId}}) {
    *button = MakeControl(0, "BUTTON", *caption, WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY, *place, id);
    SendMessageA(*button, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.Get()), FALSE);
  }

  progress_ = MakeControl(0, PROGRESS_CLASSA, "", 0, d.Progress, kProgressId);
  SendMessageA(progress_, PBM_SETRANGE32, d.ProgressMin, d.ProgressMax);
  SendMessageA(progress_, PBM_SETPOS, d.ProgressMin, 0);
  lastFocus_ = memo_;
}

void InstallerWindow::ComputeScale(const FontSpec& font, int textHeight) {
  ClientDC screen(nullptr);
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  if (dpi == 96) return;  // the stored layout's own text size
  Font measured(CreateFontA(-MulDiv(-font.Height, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, font.Name.c_str()));
  Selection selected(screen.Get(), measured.Get());
  SIZE size{};
  if (GetTextExtentPoint32A(screen.Get(), "0", 1, &size) && size.cy > 0) {
    scaleNumerator_ = size.cy;
    scaleDenominator_ = textHeight;
  }
}

Font InstallerWindow::MakeFont(const FontSpec& spec) const {
  return Font(CreateFontA(-Scaled(-spec.Height), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          spec.AnsiCharset ? ANSI_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                          spec.Name.c_str()));
}

HWND InstallerWindow::MakeControl(DWORD exStyle, const char* className, const std::string& text,
                                  DWORD style, const ControlSpec& place, int id) {
  return CreateWindowExA(
      exStyle, className, text.c_str(), style | WS_CHILD | WS_VISIBLE, Scaled(place.Left),
      Scaled(place.Top), Scaled(place.Width), Scaled(place.Height), Handle(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

void InstallerWindow::CentreAndShow() {
  RECT r;
  GetWindowRect(Handle(), &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(Handle(), SW_SHOWNORMAL);
  UpdateWindow(Handle());
}

void InstallerWindow::Click(HWND button) {
  SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void InstallerWindow::FocusNext(bool backwards) {
  const HWND order[] = {memo_, instalar_, fechar_};
  HWND focus = GetFocus();
  int index = 0;
  for (int i = 0; i < 3; ++i) {
    if (order[i] == focus) index = i;
  }
  index = (index + (backwards ? 2 : 1)) % 3;
  SetFocus(order[index]);
}

bool InstallerWindow::PreTranslate(const MSG& msg) {
  if (!Handle() || !IsWindowEnabled(Handle())) return false;
  if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) return false;
  const bool alt = (msg.lParam & (1 << 29)) != 0;
  switch (msg.message) {
    case WM_KEYDOWN:
      if (msg.wParam == VK_TAB) {
        FocusNext(GetKeyState(VK_SHIFT) < 0);
        return true;
      }
      if (msg.wParam == VK_RETURN) {
        HWND focus = GetFocus();
        if (focus == instalar_ || focus == fechar_) {
          Click(focus);
          return true;
        }
        return false;  // the memo takes Enter itself
      }
      return msg.wParam == VK_ESCAPE;  // Esc does nothing in this window
    case WM_SYSKEYDOWN:
      if (alt && msg.wParam == 'I') {
        Click(instalar_);
        return true;
      }
      if (alt && msg.wParam == 'F') {
        Click(fechar_);
        return true;
      }
      return false;
    default:
      return false;
  }
}

void InstallerWindow::SetMemoText(const std::string& text) {
  if (!SetWindowTextA(memo_, text.c_str())) throw Exception("Text exceeds memo capacity");
}

void InstallerWindow::AppendMemoLine(const std::string& line) {
  // A new last line: into the empty last line, followed by a break, or after
  // a break when the last line has characters. Asks the control about its
  // last line only, so that a long log does not make each line slower.
  const LRESULT lines = SendMessageA(memo_, EM_GETLINECOUNT, 0, 0);
  const LRESULT lastStart = SendMessageA(memo_, EM_LINEINDEX, lines - 1, 0);
  const bool lastLineEmpty = SendMessageA(memo_, EM_LINELENGTH, lastStart, 0) == 0;
  const std::string insert = lastLineEmpty ? line + "\r\n" : "\r\n" + line;
  const auto end = static_cast<WPARAM>(GetWindowTextLengthA(memo_));
  SendMessageA(memo_, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageA(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(insert.c_str()));
  SendMessageA(memo_, EM_SCROLLCARET, 0, 0);
}

std::string InstallerWindow::MemoText() const {
  std::vector<char> buffer(static_cast<std::size_t>(GetWindowTextLengthA(memo_)) + 1);
  int n = GetWindowTextA(memo_, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), static_cast<std::size_t>(n > 0 ? n : 0));
}

void InstallerWindow::EnableMemoVerticalScrollBar() {
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(memo_, GWL_STYLE));
  if (style & WS_VSCROLL) return;
  // The edit control reads its scroll bar style only when it is created (a
  // style changed afterwards shows a bar whose thumb never moves), so the
  // memo is made anew with the bar, keeping text, font, place and focus.
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(memo_, GWL_EXSTYLE));
  RECT r;
  GetWindowRect(memo_, &r);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
  const std::string text = MemoText();
  const bool focused = GetFocus() == memo_;
  HWND fresh = CreateWindowExA(exStyle, "EDIT", "", style | WS_VSCROLL, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, Handle(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMemoId)),
                               GetModuleHandleA(nullptr), nullptr);
  if (!fresh) return;
  SetWindowPos(fresh, memo_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(fresh, EM_SETLIMITTEXT, 0, 0);
  SendMessageA(fresh, WM_SETFONT, reinterpret_cast<WPARAM>(memoFont_.Get()), FALSE);
  SetWindowTextA(fresh, text.c_str());
  HWND old = std::exchange(memo_, fresh);
  if (lastFocus_ == old) lastFocus_ = fresh;
  DestroyWindow(old);
  if (focused) SetFocus(fresh);
}

void InstallerWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  if (PaintPictures) {
    PaintPictures(dc);
  } else {
    Brush white(CreateSolidBrush(description_.Colour));
    FillRect(dc, &ps.rcPaint, white.Get());
  }
  EndPaint(Handle(), &ps);
  if (!painted_) {
    painted_ = true;
    if (OnFirstPaint) OnFirstPaint();
  }
}

LRESULT InstallerWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      if (PaintPictures) return 1;  // the pictures cover the client area
      break;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (OnCommand(HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      break;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
      break;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_CLOSE:
      if (OnCloseRequest) OnCloseRequest();
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

HBRUSH InstallerWindow::OnCtlColor(HDC dc, HWND control) {
  if (control != memo_) return nullptr;
  SetTextColor(dc, description_.MemoFont.Colour);
  SetBkColor(dc, description_.MemoColour);
  return memoBrush_.Get();
}

void InstallerWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  // The default frame is on "&Instalar" unless "&Fechar" has the focus,
  // which then carries it.
  const HWND focus = GetFocus();
  const bool isDefault = item.hwndItem == fechar_ ? focus == fechar_ : focus != fechar_;
  DrawClassicButton(item, {buttonFont_.Get(), description_.ButtonFont.Colour, isDefault});
}

bool InstallerWindow::OnCommand(WORD code, HWND from) {
  if (code == BN_SETFOCUS || code == BN_KILLFOCUS) {
    // The default frame follows the focus.
    InvalidateRect(instalar_, nullptr, FALSE);
    InvalidateRect(fechar_, nullptr, FALSE);
    return true;
  }
  // An owner-drawn button reports the second click of a double click as
  // BN_DOUBLECLICKED; a push button would have clicked twice.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return false;
  if (from == instalar_) {
    if (OnInstalarClick) OnInstalarClick();
    return true;
  }
  if (from == fechar_) {
    if (OnFecharClick) OnFecharClick();
    return true;
  }
  return false;
}

bool InstallerWindow::OnSetCursor(HWND under, WORD hitTest) {
  if (cursor_ == Cursor::HourGlass) {
    ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    return true;
  }
  if (hitTest == HTCLIENT && (under == instalar_ || under == fechar_)) {
    ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
    return true;
  }
  return false;
}

void InstallerWindow::OnActivate(bool active) {
  if (!active) {
    // Remembered, to give the focus back on the next activation.
    HWND focus = GetFocus();
    if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
    return;
  }
  SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : memo_);
}

}  // namespace norv::win32
