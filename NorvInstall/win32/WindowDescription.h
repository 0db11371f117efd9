#pragma once
// What the installer window is built from: its stored settings in pixels at
// 96 dpi, converted from the form's description.
#include <windows.h>

#include <string>

namespace norv {

namespace win32 {

struct FontSpec {
  std::string Name;
  int Height;  // negative: character height in pixels at 96 dpi
  COLORREF Colour;
  bool AnsiCharset;
};

struct ControlSpec {
  int Left, Top, Width, Height;
};

struct WindowDescription {
  std::string ClassName, Caption;
  int ClientWidth, ClientHeight;
  COLORREF Colour;
  FontSpec Font;   // measured for scaling at other text sizes
  int TextHeight;  // height of "0" in Font at 96 dpi
  ControlSpec Memo;
  COLORREF MemoColour;
  FontSpec MemoFont;
  ControlSpec Instalar, Fechar;
  std::string InstalarCaption, FecharCaption;
  FontSpec ButtonFont;
  ControlSpec Progress;
  int ProgressMin, ProgressMax;
};

}  // namespace win32

win32::WindowDescription InstallerWindowDescription();

}  // namespace norv
