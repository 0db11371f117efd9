#pragma once
// What the installer relies on from a window system, checked against every
// one: the fake of the installer's tests and, under Wine, the real window
// system with the installer window. A binary includes this header once and
// instantiates WindowSystemConformance with the screens it has.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace norv::conformance {

// A message dialog as a person saw and answered it.
struct ShownDialog {
  std::string caption;
  std::string text;
  bool hasOk = false;
  bool hasCancel = false;
  Cursor cursor = Cursor::HourGlass;  // the cursor while it was open
  DialogResult result = DialogResult::Cancel;
};

// A window system and what a person sees of it: the progress bar, the
// cursor over the memo, the dialogs and error boxes (answered by pressing a
// button).
class Screen {
 public:
  virtual ~Screen() = default;
  virtual WindowSystem& Windows() = 0;
  virtual int ShownProgressPosition() = 0;
  virtual int ShownProgressMax() = 0;
  virtual Cursor ShownCursor() = 0;
  // Runs MessageDialog and presses `press`'s button in it.
  virtual ShownDialog AnswerDialog(const std::string& text, DialogKind kind, DialogButtons buttons,
                                   DialogResult press) = 0;
  // Runs ErrorBox, presses OK and returns the text the box showed.
  virtual std::string ShowErrorBox(const std::string& text) = 0;
};

struct ScreenKind {
  std::string name;
  std::function<std::unique_ptr<Screen>()> make;
};

inline void PrintTo(const ScreenKind& kind, std::ostream* out) {
  *out << kind.name;
}

inline std::string ScreenName(const ::testing::TestParamInfo<ScreenKind>& info) {
  return info.param.name;
}

class WindowSystemConformance : public ::testing::TestWithParam<ScreenKind> {
 protected:
  void SetUp() override { screen_ = GetParam().make(); }
  Screen& Shown() { return *screen_; }
  WindowSystem& Windows() { return screen_->Windows(); }

 private:
  std::unique_ptr<Screen> screen_;
};

TEST_P(WindowSystemConformance, MemoGivesBackTheTextAsSet) {
  const std::string texts[] = {
      "Dados", "Dados\r\nLinha 2", "Linha\r\n", "\r\n\r\n", "ATEN\xC7\xC3O: \x80 \xE9 \xFF", "",
  };
  for (const auto& text : texts) {
    Windows().SetMemoText(text);
    EXPECT_EQ(Windows().MemoText(), text);
  }
}

TEST_P(WindowSystemConformance, AppendedLinesBecomeTheNewLastLine) {
  // A line with characters gets a break before the new line; an empty last
  // line takes the new line and a break after it.
  struct Case {
    std::string before;
    std::vector<std::string> lines;
    std::string after;
  };
  const Case cases[] = {
      {"Dados\r\nLinha 2", {"A"}, "Dados\r\nLinha 2\r\nA"},
      {"Dados\r\nLinha 2", {"A", "B"}, "Dados\r\nLinha 2\r\nA\r\nB"},
      {"", {"Descompactando: C:\\X...", "B"}, "Descompactando: C:\\X...\r\nB\r\n"},
      {"Dados\r\n", {"A"}, "Dados\r\nA\r\n"},
      {"", {""}, "\r\n"},
      {"", {"", "A"}, "\r\nA\r\n"},
  };
  for (const auto& c : cases) {
    Windows().SetMemoText(c.before);
    for (const auto& line : c.lines) Windows().AppendMemoLine(line);
    EXPECT_EQ(Windows().MemoText(), c.after) << "after \"" << c.before << "\"";
  }
}

TEST_P(WindowSystemConformance, ClearEmptiesTheMemoForANewLog) {
  Windows().SetMemoText("Dados\r\nLinha 2");
  Windows().ClearMemo();
  EXPECT_EQ(Windows().MemoText(), "");
  Windows().AppendMemoLine("A");
  EXPECT_EQ(Windows().MemoText(), "A\r\n");
}

TEST_P(WindowSystemConformance, ScrollBarKeepsTheTextAndALongLogKeepsEveryLine) {
  Windows().SetMemoText("Dados");
  Windows().EnableMemoVerticalScrollBar();
  EXPECT_EQ(Windows().MemoText(), "Dados");
  // A log beyond the edit control's default limit of 30,000 characters,
  // then lines appended to it.
  std::string expected;
  for (int i = 0; i < 1000; ++i)
    expected += "Descompactando: C:\\NORV\\ARQ" + std::to_string(i) + "...\r\n";
  Windows().SetMemoText(expected);
  for (const char* line : {"Atalho criado com sucesso.", "FIM"}) {
    Windows().AppendMemoLine(line);
    expected += std::string(line) + "\r\n";
  }
  EXPECT_EQ(Windows().MemoText(), expected);
}

TEST_P(WindowSystemConformance, ProgressBarShowsPositionsWithinItsRange) {
  EXPECT_EQ(Shown().ShownProgressMax(), 100);
  EXPECT_EQ(Shown().ShownProgressPosition(), 0);
  Windows().SetProgressPosition(42);
  EXPECT_EQ(Shown().ShownProgressPosition(), 42);
  Windows().SetProgressMax(200);
  Windows().SetProgressPosition(150);
  EXPECT_EQ(Shown().ShownProgressMax(), 200);
  EXPECT_EQ(Shown().ShownProgressPosition(), 150);
  // Out of range, the bar shows its nearest end.
  Windows().SetProgressPosition(250);
  EXPECT_EQ(Shown().ShownProgressPosition(), 200);
  Windows().SetProgressPosition(-5);
  EXPECT_EQ(Shown().ShownProgressPosition(), 0);
  Windows().SetProgressPosition(180);
  Windows().SetProgressMax(100);
  EXPECT_EQ(Shown().ShownProgressPosition(), 100);
}

TEST_P(WindowSystemConformance, HourglassShowsUntilTheDefaultCursorReturns) {
  EXPECT_EQ(Shown().ShownCursor(), Cursor::Default);
  Windows().SetCursor(Cursor::HourGlass);
  EXPECT_EQ(Shown().ShownCursor(), Cursor::HourGlass);
  Windows().SetCursor(Cursor::HourGlass);
  EXPECT_EQ(Shown().ShownCursor(), Cursor::HourGlass);
  Windows().SetCursor(Cursor::Default);
  EXPECT_EQ(Shown().ShownCursor(), Cursor::Default);
}

TEST_P(WindowSystemConformance, DialogShowsItsTextAndGivesThePressedAnswer) {
  struct Case {
    DialogKind kind;
    DialogButtons buttons;
    DialogResult press;
    const char* caption;
  };
  const Case cases[] = {
      {DialogKind::Information, DialogButtons::Ok, DialogResult::Ok, "Information"},
      {DialogKind::Error, DialogButtons::Ok, DialogResult::Ok, "Error"},
      {DialogKind::Information, DialogButtons::OkCancel, DialogResult::Ok, "Information"},
      {DialogKind::Information, DialogButtons::OkCancel, DialogResult::Cancel, "Information"},
  };
  const std::string text = "Insira o disco 2.\r\nC:\\NORV\\ARQUIVO.002 n\xE3o encontrado.";
  for (const auto& c : cases) {
    const ShownDialog shown = Shown().AnswerDialog(text, c.kind, c.buttons, c.press);
    EXPECT_EQ(shown.caption, c.caption);
    EXPECT_EQ(shown.text, text);
    EXPECT_TRUE(shown.hasOk);
    EXPECT_EQ(shown.hasCancel, c.buttons == DialogButtons::OkCancel);
    EXPECT_EQ(shown.result, c.press);
  }
}

TEST_P(WindowSystemConformance, DialogShowsTheArrowAndGivesTheHourglassBack) {
  Windows().SetCursor(Cursor::HourGlass);
  const ShownDialog shown = Shown().AnswerDialog("Continuar?", DialogKind::Information,
                                                 DialogButtons::OkCancel, DialogResult::Ok);
  EXPECT_EQ(shown.cursor, Cursor::Default);
  EXPECT_EQ(Shown().ShownCursor(), Cursor::HourGlass);
}

TEST_P(WindowSystemConformance, ErrorBoxShowsTheTextAsGivenAndLeavesTheMemo) {
  Windows().SetMemoText("Log");
  const std::string text = "Cannot open file C:\\NORV\\ARQUIVO.001.";
  EXPECT_EQ(Shown().ShowErrorBox(text), text);
  EXPECT_EQ(Windows().MemoText(), "Log");
}

}  // namespace norv::conformance
