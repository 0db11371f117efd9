#include "platform/win32/ClassicButton.h"

#include <string>

#include "platform/win32/Gdi.h"

namespace norv::win32 {

void DrawClassicButton(const DRAWITEMSTRUCT& item, const ButtonLook& look) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pushed = item.itemState & ODS_SELECTED;
  const bool focused = item.itemState & ODS_FOCUS;

  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (look.IsDefault) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  if (pushed && look.IsDefault) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  }

  char caption[64];
  int length = GetWindowTextA(item.hwndItem, caption, sizeof caption);
  RECT text = r;
  if (pushed) OffsetRect(&text, 1, 1);
  {
    Selection font(dc, look.Font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc,
                 IsWindowEnabled(item.hwndItem) ? look.TextColour : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, caption, length, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  if (focused) {
    RECT focus = r;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace norv::win32
