// The fake's memo appends lines as the EDIT control does under Wine
// (tests/win32/WindowSystemTest.cpp checks the real control the same way):
// a line with characters gets a break before the new line, an empty last
// line takes the new line and a break after it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/FakeWindowSystem.h"

namespace norv {
namespace {

struct AppendCase {
  std::string before;
  std::vector<std::string> lines;
  std::string after;
};

TEST(FakeWindowSystemMemo, AppendsLinesAsTheEditControl) {
  const AppendCase cases[] = {
      {"Dados\r\nLinha 2", {"A"}, "Dados\r\nLinha 2\r\nA"},
      {"Dados\r\nLinha 2", {"A", "B"}, "Dados\r\nLinha 2\r\nA\r\nB"},
      {"", {"Descompactando: C:\\X...", "B"}, "Descompactando: C:\\X...\r\nB\r\n"},
      {"Dados\r\n", {"A"}, "Dados\r\nA\r\n"},
      {"", {""}, "\r\n"},
  };
  for (const auto& c : cases) {
    FakeWindowSystem windows;
    windows.SetMemoText(c.before);
    for (const auto& line : c.lines) windows.AppendMemoLine(line);
    EXPECT_EQ(windows.MemoText(), c.after) << "after \"" << c.before << "\"";
  }
}

}  // namespace
}  // namespace norv
