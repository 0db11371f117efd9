#include "NorvInstall/win32/WindowDescription.h"

#include "install/FormDescription.h"

namespace norv {

namespace {

COLORREF Colour(form::Rgb c) {
  return RGB(c.Red, c.Green, c.Blue);
}

win32::FontSpec Font(const form::FontDescription& f) {
  return {f.Name, f.Height, Colour(f.Colour), f.AnsiCharset};
}

win32::ControlSpec Place(const form::ControlBounds& b) {
  return {b.Left, b.Top, b.Width, b.Height};
}

}  // namespace

win32::WindowDescription InstallerWindowDescription() {
  win32::WindowDescription d;
  d.ClassName = form::kClassName;
  d.Caption = form::kCaption;
  d.ClientWidth = form::kClientWidth;
  d.ClientHeight = form::kClientHeight;
  d.Colour = Colour(form::kColour);
  d.Font = Font(form::kFont);
  d.TextHeight = form::kTextHeight;
  d.Memo = Place(form::kMemoDadosAplicativo);
  d.MemoColour = Colour(form::kMemoColour);
  d.MemoFont = Font(form::kMemoFont);
  d.Instalar = Place(form::kBttnInstalar);
  d.Fechar = Place(form::kBttnFechar);
  d.InstalarCaption = form::kBttnInstalarCaption;
  d.FecharCaption = form::kBttnFecharCaption;
  d.ButtonFont = Font(form::kButtonFont);
  d.Progress = Place(form::kProgressBar1);
  d.ProgressMin = form::kProgressMin;
  d.ProgressMax = form::kProgressMax;
  return d;
}

}  // namespace norv
