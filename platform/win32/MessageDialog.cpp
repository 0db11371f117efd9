#include "platform/win32/MessageDialog.h"

#include <cstring>
#include <vector>

#include "platform/MessageDialogLayout.h"
#include "platform/win32/Gdi.h"

namespace norv::win32 {

namespace {

constexpr int kTextId = 0xFFFF;

// An in-memory DLGTEMPLATE with its items: the text first (so that it is the
// first Static child), then the buttons. Positions are set at WM_INITDIALOG.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, int itemCount) {
    Align();
    DLGTEMPLATE t{};
    t.style = style;
    t.dwExtendedStyle = WS_EX_DLGMODALFRAME;
    t.cdit = static_cast<WORD>(itemCount);
    Append(&t, sizeof t);
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Word(0);  // title set later
  }

  void AddItem(DWORD style, WORD id, WORD atom, const wchar_t* text) {
    Align();
    DLGITEMTEMPLATE item{};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.id = id;
    Append(&item, sizeof item);
    Word(0xFFFF);
    Word(atom);
    for (const wchar_t* p = text; *p; ++p) Word(static_cast<WORD>(*p));
    Word(0);
    Word(0);  // no creation data
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

 private:
  void Append(const void* p, std::size_t n) {
    auto* b = static_cast<const unsigned char*>(p);
    data_.insert(data_.end(), b, b + n);
  }
  void Word(WORD w) { Append(&w, sizeof w); }
  void Align() {
    while (data_.size() % 4) data_.push_back(0);
  }
  std::vector<unsigned char> data_;
};

class MessageDialog {
 public:
  MessageDialog(const std::string& text, DialogKind kind, DialogButtons buttons)
      : text_(text),
        kind_(kind),
        buttons_(buttons),
        caption_(MessageDialogCaption(kind)),
        captions_(MessageDialogButtonCaptions(buttons)) {}

  DialogResult Run(HWND owner, bool& endPending) {
    if (endPending) return DialogResult::Cancel;
    HWND previouslyActive = GetActiveWindow();
    HWND dialog = nullptr;
    {
      TaskWindowsDisabled disabled;
      DialogTemplate tmpl(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                          static_cast<int>(captions_.size()) + 1);
      tmpl.AddItem(SS_LEFT | SS_NOPREFIX, kTextId, 0x0082, L"");
      // The buttons' captions are set at WM_INITDIALOG.
      tmpl.AddItem(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 0x0080, L"");
      if (buttons_ == DialogButtons::OkCancel) {
        tmpl.AddItem(BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 0x0080, L"");
      }
      dialog =
          CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl.Get(), owner,
                                     &MessageDialog::Procedure, reinterpret_cast<LPARAM>(this));
      if (!dialog) return DialogResult::Cancel;
      ShowWindow(dialog, SW_SHOW);
      SetFocus(GetDlgItem(dialog, IDOK));
      // The arrow now that the other windows are disabled: until the mouse
      // moves, the control under it would otherwise keep its own cursor.
      ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
      RunLoop(dialog, endPending);
    }
    // The other windows are enabled again before the dialog goes, so that
    // activation returns to the window that had it.
    DestroyWindow(dialog);
    if (previouslyActive && IsWindow(previouslyActive)) SetActiveWindow(previouslyActive);
    return result_;
  }

 private:
  void RunLoop(HWND dialog, bool& endPending) {
    MSG msg;
    while (!done_) {
      if (endPending) {
        result_ = DialogResult::Cancel;
        return;
      }
      BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == -1) return;
      if (got == 0) {  // the quit message: the program's end is pending
        endPending = true;
        continue;
      }
      if (IsCopyKey(dialog, msg)) {
        MessageBeep(0);
        CopyToClipboard(dialog);
        continue;
      }
      if (!IsDialogMessageA(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }

  static bool IsCopyKey(HWND dialog, const MSG& msg) {
    return msg.message == WM_KEYDOWN && msg.wParam == 'C' && GetKeyState(VK_CONTROL) < 0 &&
           GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0 &&
           (msg.hwnd == dialog || IsChild(dialog, msg.hwnd));
  }

  void CopyToClipboard(HWND dialog) {
    std::string text = MessageDialogClipboardText(caption_, text_, captions_);
    if (!OpenClipboard(dialog)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
      std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
  }

  void Finish(DialogResult result) {
    result_ = result;
    done_ = true;
  }

  void Initialise(HWND dialog) {
    SetWindowTextA(dialog, caption_.c_str());
    HWND textWindow = GetDlgItem(dialog, kTextId);
    SetWindowTextA(textWindow, text_.c_str());

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = Font(CreateFontIndirectA(&metrics.lfMessageFont));

    MessageDialogMetrics m;
    {
      ClientDC dc(dialog);
      Selection selected(dc.Get(), font_.Get());
      SIZE size{};
      const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
      GetTextExtentPoint32A(dc.Get(), alphabet, 52, &size);
      m.BaseX = size.cx / 52;
      m.BaseY = size.cy;
      RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
      DrawTextA(dc.Get(), text_.c_str(), -1, &r,
                DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
      m.TextWidth = r.right;
      m.TextHeight = r.bottom;
      for (const auto& caption : captions_) {
        RECT c{0, 0, 0, 0};
        DrawTextA(dc.Get(), caption.c_str(), -1, &c, DT_CALCRECT | DT_SINGLELINE);
        m.CaptionWidths.push_back(c.right - c.left);
      }
    }
    m.IconSize = GetSystemMetrics(SM_CXICON);
    MessageDialogLayout layout = LayOutMessageDialog(m);
    iconPosition_ = {layout.Icon.Left, layout.Icon.Top};

    auto place = [](HWND w, const Rect& r) {
      SetWindowPos(w, nullptr, r.Left, r.Top, r.Width, r.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    SendMessageA(textWindow, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    place(textWindow, layout.Text);
    const int ids[] = {IDOK, IDCANCEL};
    for (std::size_t i = 0; i < layout.Buttons.size(); ++i) {
      HWND button = GetDlgItem(dialog, ids[i]);
      SetWindowTextA(button, captions_[i].c_str());
      SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
      place(button, layout.Buttons[i]);
    }

    RECT frame{0, 0, layout.ClientWidth, layout.ClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void PaintIcon(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    LPCSTR id = kind_ == DialogKind::Error ? reinterpret_cast<LPCSTR>(IDI_HAND)
                                           : reinterpret_cast<LPCSTR>(IDI_ASTERISK);
    DrawIcon(dc, iconPosition_.x, iconPosition_.y, LoadIconA(nullptr, id));
    EndPaint(dialog, &ps);
  }

  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      reinterpret_cast<MessageDialog*>(lParam)->Initialise(dialog);
      return FALSE;  // the focus is set by Run
    }
    auto* self = reinterpret_cast<MessageDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          self->Finish(DialogResult::Ok);
          return TRUE;
        }
        // Esc and the Cancel button; with "OK" alone, Esc presses "OK".
        if (LOWORD(wParam) == IDCANCEL) {
          self->Finish(self->buttons_ == DialogButtons::OkCancel ? DialogResult::Cancel
                                                                 : DialogResult::Ok);
          return TRUE;
        }
        return FALSE;
      case WM_CLOSE:  // the close box always gives the cancel answer
        self->Finish(DialogResult::Cancel);
        return TRUE;
      case WM_PAINT:
        self->PaintIcon(dialog);
        return TRUE;
      default:
        return FALSE;
    }
  }

  std::string text_;
  DialogKind kind_;
  DialogButtons buttons_;
  std::string caption_;
  std::vector<std::string> captions_;
  Font font_;
  POINT iconPosition_{0, 0};
  DialogResult result_ = DialogResult::Cancel;
  bool done_ = false;
};

}  // namespace

DialogResult RunMessageDialog(HWND owner, const std::string& text, DialogKind kind,
                              DialogButtons buttons, bool& endPending) {
  MessageDialog dialog(text, kind, buttons);
  return dialog.Run(owner, endPending);
}

}  // namespace norv::win32
