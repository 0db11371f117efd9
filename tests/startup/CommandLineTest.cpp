// The command-line splitter, the seven start-up values and the error box text.
#include <gtest/gtest.h>

#include "NorvInstall/CommandLine.h"
#include "NorvInstall/ErrorBoxText.h"
#include "NorvInstall/Startup.h"

namespace norv {
namespace {

struct SplitCase {
  std::string line;
  std::vector<std::string> params;  // 1..count
};

// Failures name the command line, not the case's raw bytes.
void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(c.line);
}

class SplitterTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitterTest, SplitsByTheProgramsOwnRules) {
  const SplitCase& c = GetParam();
  ASSERT_EQ(ParamCount(c.line), static_cast<int>(c.params.size()));
  for (std::size_t i = 0; i <= c.params.size(); ++i) {
    EXPECT_EQ(ParamStr(c.line, static_cast<int>(i) + 1), i < c.params.size() ? c.params[i] : "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitterTest,
    ::testing::Values(
        SplitCase{"", {}}, SplitCase{"NorvInstall.exe   ", {}},
        SplitCase{"NorvInstall OVERWRITE PacRH.001", {"OVERWRITE", "PacRH.001"}},
        SplitCase{"\"C:\\Program Files\\N.exe\" A", {"A"}},
        SplitCase{"p \"C:\\Meus Programas\\APP.EXE\" B", {"C:\\Meus Programas\\APP.EXE", "B"}},
        // An empty pair of quotes holds no place.
        SplitCase{"p A \"\" C", {"A", "C"}}, SplitCase{"p \"\"\"\" A", {"A"}},
        // Quoted stretches and pairs inside a token are joined.
        SplitCase{"p x\"\"y a\"b c\"d", {"xy", "ab cd"}},
        // No escape character.
        SplitCase{"p \"C:\\Pasta\\\" X", {"C:\\Pasta\\", "X"}},
        // An unterminated quote takes the rest; alone it is an empty token.
        SplitCase{"p \"abc  def", {"abc  def"}}, SplitCase{"p A \"", {"A"}},
        // Bytes 1..32 separate; bytes above 127 do not; NUL ends the line.
        SplitCase{"p\tA\x01"
                  "B\r\nC\x1F"
                  "D \xC1rea",
                  {"A", "B", "C", "D", "\xC1rea"}},
        SplitCase{std::string("p a\0b", 5), {"a"}},
        SplitCase{"p 1 2 3 4 5 6 7 8 9", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}}));

TEST(StartupValues, TakesTheFirstSevenOnly) {
  EXPECT_EQ(ReadStartupValues("p 1 2 3 4 5 6 7 8 9"),
            (StartupValues{"1", "2", "3", "4", "5", "6", "7"}));
  EXPECT_EQ(ReadStartupValues("p"), StartupValues{});
  EXPECT_EQ(ParamStr("\"C:\\A B\\N.EXE\" x", 0), "C:\\A B\\N.EXE");
}

TEST(ErrorBoxText, FullStopOnlyAfterBytesAboveTheFullStop) {
  const std::pair<std::string, std::string> cases[] = {
      {"Cannot read archive", "Cannot read archive."},
      {"Fim.", "Fim."},
      {"Fim!", "Fim!"},
      {"(Fim)", "(Fim)"},
      {"a-", "a-"},
      {"a/", "a/."},
      {"Informa\xE7\xE3o", "Informa\xE7\xE3o."},
      {"", ""}};
  for (const auto& [message, shown] : cases) EXPECT_EQ(ErrorBoxText(message), shown) << message;
}

}  // namespace
}  // namespace norv
