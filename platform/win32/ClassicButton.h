#pragma once
// Draws an owner-drawn push button in the classic look with coloured caption
// text: a classic push button cannot change its text colour, and the
// installer's buttons have navy captions.
#include <windows.h>

namespace norv::win32 {

struct ButtonLook {
  HFONT Font;
  COLORREF TextColour;
  bool IsDefault;  // drawn with the default-button frame
};

void DrawClassicButton(const DRAWITEMSTRUCT& item, const ButtonLook& look);

}  // namespace norv::win32
