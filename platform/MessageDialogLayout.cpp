#include "platform/MessageDialogLayout.h"

#include <algorithm>

namespace norv {

namespace {
// Dialog units to pixels: horizontal units are quarters, vertical eighths.
int Horizontal(int units, int baseX) {
  return units * baseX / 4;
}
int Vertical(int units, int baseY) {
  return units * baseY / 8;
}
}  // namespace

std::string MessageDialogCaption(DialogKind kind) {
  return kind == DialogKind::Error ? "Error" : "Information";
}

std::vector<std::string> MessageDialogButtonCaptions(DialogButtons buttons) {
  if (buttons == DialogButtons::OkCancel) return {"OK", "Cancel"};
  return {"OK"};
}

MessageDialogLayout LayOutMessageDialog(const MessageDialogMetrics& m) {
  const int horzMargin = Horizontal(8, m.BaseX);
  const int vertMargin = Vertical(8, m.BaseY);
  const int horzSpacing = Horizontal(10, m.BaseX);
  const int vertSpacing = Vertical(10, m.BaseY);
  const int buttonSpacing = Horizontal(4, m.BaseX);
  int buttonWidth = Horizontal(50, m.BaseX);
  const int buttonHeight = Vertical(14, m.BaseY);
  for (int w : m.CaptionWidths) buttonWidth = std::max(buttonWidth, w + 8);

  const int count = static_cast<int>(m.CaptionWidths.size());
  const int groupWidth = count == 0 ? 0 : buttonWidth * count + buttonSpacing * (count - 1);
  const int iconTextWidth = m.TextWidth + m.IconSize + horzSpacing;
  const int iconTextHeight = std::max(m.TextHeight, m.IconSize);

  MessageDialogLayout layout;
  layout.ClientWidth = std::max(iconTextWidth, groupWidth) + 2 * horzMargin;
  layout.ClientHeight = iconTextHeight + buttonHeight + vertSpacing + 2 * vertMargin;
  layout.Icon = {horzMargin, vertMargin, m.IconSize, m.IconSize};
  layout.Text = {horzMargin + m.IconSize + horzSpacing, vertMargin, m.TextWidth, m.TextHeight};
  int x = (layout.ClientWidth - groupWidth) / 2;
  const int y = iconTextHeight + vertMargin + vertSpacing;
  for (int i = 0; i < count; ++i) {
    layout.Buttons.push_back({x, y, buttonWidth, buttonHeight});
    x += buttonWidth + buttonSpacing;
  }
  return layout;
}

std::string MessageDialogClipboardText(const std::string& caption, const std::string& text,
                                       const std::vector<std::string>& buttonCaptions) {
  const std::string rule = std::string(27, '-') + "\r\n";
  std::string buttons;
  for (const auto& c : buttonCaptions) {
    for (char ch : c) {
      if (ch != '&') buttons += ch;
    }
    buttons += "   ";
  }
  return rule + caption + "\r\n" + rule + text + "\r\n" + rule + buttons + "\r\n" + rule;
}

}  // namespace norv
