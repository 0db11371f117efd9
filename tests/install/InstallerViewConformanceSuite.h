#pragma once
// What the installer relies on from its window's memo and progress bar,
// checked against every implementation: the fake of the installer's tests
// and, under Wine, the real installer window. A binary includes this header
// once and instantiates InstallerViewConformance with the screens it has.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "install/InstallerView.h"

namespace norv::conformance {

// The installer window and what a person sees of it: the progress bar as
// shown, and the error box of the window system it lives in (answered by
// pressing OK).
class InstallerScreen {
 public:
  virtual ~InstallerScreen() = default;
  virtual InstallerView& View() = 0;
  virtual int ShownProgressPosition() = 0;
  virtual int ShownProgressMax() = 0;
  // Runs ErrorBox, presses OK and returns the text the box showed.
  virtual std::string ShowErrorBox(const std::string& text) = 0;
};

struct InstallerScreenKind {
  std::string name;
  std::function<std::unique_ptr<InstallerScreen>()> make;
};

inline void PrintTo(const InstallerScreenKind& kind, std::ostream* out) {
  *out << kind.name;
}

inline std::string InstallerScreenName(const ::testing::TestParamInfo<InstallerScreenKind>& info) {
  return info.param.name;
}

class InstallerViewConformance : public ::testing::TestWithParam<InstallerScreenKind> {
 protected:
  void SetUp() override { screen_ = GetParam().make(); }
  InstallerScreen& Shown() { return *screen_; }
  InstallerView& View() { return screen_->View(); }

 private:
  std::unique_ptr<InstallerScreen> screen_;
};

TEST_P(InstallerViewConformance, MemoGivesBackTheTextAsSet) {
  const std::string texts[] = {
      "Dados", "Dados\r\nLinha 2", "Linha\r\n", "\r\n\r\n", "ATEN\xC7\xC3O: \x80 \xE9 \xFF", "",
  };
  for (const auto& text : texts) {
    View().SetMemoText(text);
    EXPECT_EQ(View().MemoText(), text);
  }
}

TEST_P(InstallerViewConformance, AppendedLinesBecomeTheNewLastLine) {
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
    View().SetMemoText(c.before);
    for (const auto& line : c.lines) View().AppendMemoLine(line);
    EXPECT_EQ(View().MemoText(), c.after) << "after \"" << c.before << "\"";
  }
}

TEST_P(InstallerViewConformance, ClearEmptiesTheMemoForANewLog) {
  View().SetMemoText("Dados\r\nLinha 2");
  View().ClearMemo();
  EXPECT_EQ(View().MemoText(), "");
  View().AppendMemoLine("A");
  EXPECT_EQ(View().MemoText(), "A\r\n");
}

TEST_P(InstallerViewConformance, ScrollBarKeepsTheTextAndALongLogKeepsEveryLine) {
  View().SetMemoText("Dados");
  View().EnableMemoVerticalScrollBar();
  EXPECT_EQ(View().MemoText(), "Dados");
  // A log beyond the edit control's default limit of 30,000 characters,
  // then lines appended to it.
  std::string expected;
  for (int i = 0; i < 1000; ++i)
    expected += "Descompactando: C:\\NORV\\ARQ" + std::to_string(i) + "...\r\n";
  View().SetMemoText(expected);
  for (const char* line : {"Atalho criado com sucesso.", "FIM"}) {
    View().AppendMemoLine(line);
    expected += std::string(line) + "\r\n";
  }
  EXPECT_EQ(View().MemoText(), expected);
}

TEST_P(InstallerViewConformance, ProgressBarShowsPositionsWithinItsRange) {
  EXPECT_EQ(Shown().ShownProgressMax(), 100);
  EXPECT_EQ(Shown().ShownProgressPosition(), 0);
  View().SetProgressPosition(42);
  EXPECT_EQ(Shown().ShownProgressPosition(), 42);
  View().SetProgressMax(200);
  View().SetProgressPosition(150);
  EXPECT_EQ(Shown().ShownProgressMax(), 200);
  EXPECT_EQ(Shown().ShownProgressPosition(), 150);
  // Out of range, the bar shows its nearest end.
  View().SetProgressPosition(250);
  EXPECT_EQ(Shown().ShownProgressPosition(), 200);
  View().SetProgressPosition(-5);
  EXPECT_EQ(Shown().ShownProgressPosition(), 0);
  View().SetProgressPosition(180);
  View().SetProgressMax(100);
  EXPECT_EQ(Shown().ShownProgressPosition(), 100);
}

TEST_P(InstallerViewConformance, ErrorBoxLeavesTheMemo) {
  View().SetMemoText("Log");
  Shown().ShowErrorBox("Cannot open file C:\\NORV\\ARQUIVO.001.");
  EXPECT_EQ(View().MemoText(), "Log");
}

}  // namespace norv::conformance
