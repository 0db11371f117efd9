// The show handler: "Dados.txt" into the memo.
#include "tests/install/InstallerFixture.h"

namespace norv::testing {
namespace {

TEST_F(InstallerTest, FormShowNormalisesEveryLineBreak) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"a\r\nb", "a\r\nb"},
      {"a\rb\nc", "a\r\nb\r\nc"},
      {"a\n\rb", "a\r\n\r\nb"},
      {"a\r\r\nb\n\n", "a\r\n\r\nb\r\n\r\n"},
      {std::string("Informa\xE7\xE3o\0x", 12), std::string("Informa\xE7\xE3o\0x", 12)},
  };
  for (const auto& [in, out] : cases) {
    files.AddFile("C:\\Dados.txt", in);
    form->FormShow();
    EXPECT_EQ(windows.MemoText(), out);
  }
  EXPECT_TRUE(system.Queries().empty());
}

TEST_F(InstallerTest, FormShowFailuresLeaveTheMemo) {
  windows.SetMemoText("antes");
  try {
    form->FormShow();
    ADD_FAILURE();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"C:\\Dados.txt\". ", 0), 0u)
        << e.what();
  }
  windows.SetMemoCapacity(10);
  files.AddFile("C:\\Dados.txt", "0123456789\nabc");
  EXPECT_THROW(form->FormShow(), Exception);
  EXPECT_EQ(windows.MemoText(), "antes");
}

}  // namespace
}  // namespace norv::testing
