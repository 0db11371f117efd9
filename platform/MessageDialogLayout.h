#pragma once
// The message dialog's captions, geometry and clipboard text, apart from the
// window system so that they can be checked without one.
#include <string>
#include <vector>

#include "platform/UserInterface.h"

namespace norv {

// The caption, "Information" or "Error", and the buttons' captions in order:
// "OK", then "Cancel" when the dialog asks.
std::string MessageDialogCaption(DialogKind kind);
std::vector<std::string> MessageDialogButtonCaptions(DialogButtons buttons);

struct Rect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const Rect&) const = default;
};

struct MessageDialogMetrics {
  // Dialog base units of the message font: average character width and
  // character height in pixels.
  int BaseX = 0, BaseY = 0;
  // The text's size when word-wrapped at half the screen width.
  int TextWidth = 0, TextHeight = 0;
  // Each button caption's width in pixels, in button order.
  std::vector<int> CaptionWidths;
  int IconSize = 32;
};

struct MessageDialogLayout {
  int ClientWidth = 0, ClientHeight = 0;
  Rect Icon, Text;
  std::vector<Rect> Buttons;
};

// Margins 8 dialog units, 10 between icon, text and buttons, buttons 50 x 14
// (widened to the widest caption plus 8 pixels), 4 apart, centred in a row.
MessageDialogLayout LayOutMessageDialog(const MessageDialogMetrics& m);

// What Ctrl+C puts on the clipboard: rules of 27 hyphens around the caption,
// the text and the button captions ("&" removed, each followed by three
// blanks), with CR LF line ends.
std::string MessageDialogClipboardText(const std::string& caption, const std::string& text,
                                       const std::vector<std::string>& buttonCaptions);

}  // namespace norv
