#include <gtest/gtest.h>

#include "platform/MessageDialogLayout.h"

namespace norv {
namespace {

// A message font with 6 x 13 base units: 8 DLU = 12 x 13 px margins,
// 10 DLU = 15 / 16 px spacing, buttons 75 x 22 px, 6 px apart.
MessageDialogMetrics Metrics(int textWidth, int textHeight, std::vector<int> captions) {
  MessageDialogMetrics m;
  m.BaseX = 6;
  m.BaseY = 13;
  m.TextWidth = textWidth;
  m.TextHeight = textHeight;
  m.CaptionWidths = std::move(captions);
  return m;
}

TEST(MessageDialogLayout, WideTextDecidesWidthAndButtonsAreCentred) {
  auto l = LayOutMessageDialog(Metrics(300, 39, {15, 35}));
  // Width: margin + icon + spacing + text + margin.
  EXPECT_EQ(l.ClientWidth, 12 + 32 + 15 + 300 + 12);
  // Height: margin + text (taller than the icon) + spacing + button + margin.
  EXPECT_EQ(l.ClientHeight, 13 + 39 + 16 + 22 + 13);
  EXPECT_EQ(l.Icon, (Rect{12, 13, 32, 32}));
  EXPECT_EQ(l.Text, (Rect{12 + 32 + 15, 13, 300, 39}));
  ASSERT_EQ(l.Buttons.size(), 2u);
  const int group = 75 * 2 + 6;
  const int left = (l.ClientWidth - group) / 2;
  EXPECT_EQ(l.Buttons[0], (Rect{left, 13 + 39 + 16, 75, 22}));
  EXPECT_EQ(l.Buttons[1], (Rect{left + 75 + 6, 13 + 39 + 16, 75, 22}));
}

TEST(MessageDialogLayout, ShortTextIsAsTallAsTheIconAndButtonsMayDecideWidth) {
  auto l = LayOutMessageDialog(Metrics(20, 13, {15}));
  EXPECT_EQ(l.ClientHeight, 13 + 32 + 16 + 22 + 13);
  // Icon + text are 67 wide, narrower than the one 75 px button.
  EXPECT_EQ(l.ClientWidth, 75 + 2 * 12);
  EXPECT_EQ(l.Buttons[0].Left, 12);
}

// A caption wider than the standard button must not be clipped, and the
// buttons stay one row of equal buttons with the usual gap.
TEST(MessageDialogLayout, LongCaptionFitsAndButtonsStayEqual) {
  auto l = LayOutMessageDialog(Metrics(300, 13, {15, 90}));
  ASSERT_EQ(l.Buttons.size(), 2u);
  EXPECT_GT(l.Buttons[1].Width, 90);
  EXPECT_EQ(l.Buttons[0].Width, l.Buttons[1].Width);
  EXPECT_EQ(l.Buttons[1].Left - (l.Buttons[0].Left + l.Buttons[0].Width), 6);
}

TEST(MessageDialogClipboard, RulesCaptionTextAndButtonsWithCrLf) {
  const std::string rule = "---------------------------\r\n";
  ASSERT_EQ(rule.size(), 27u + 2u);
  EXPECT_EQ(MessageDialogClipboardText("Information", "Linha 1\rLinha 2", {"OK", "&Cancel"}),
            rule + "Information\r\n" + rule + "Linha 1\rLinha 2\r\n" + rule + "OK   Cancel   \r\n" +
                rule);
  EXPECT_EQ(MessageDialogClipboardText("Error", "", {"OK"}),
            rule + "Error\r\n" + rule + "\r\n" + rule + "OK   \r\n" + rule);
}

}  // namespace
}  // namespace norv
