// The installer under bad input: long and malformed command lines, a
// "Dados.txt" with NUL bytes, lone CRs or 20 MiB, follow-up program names
// that are folders or carry a trailing blank, and a hostile archive.
#include <gtest/gtest.h>

#include "NorvInstall/Startup.h"
#include "install/FrmInstaladorNorv.h"
#include "install/testing/FakeInstallerWindowSystem.h"
#include "platform/Errors.h"
#include "platform/testing/FakeShell.h"
#include "platform/testing/FakeSystem.h"
#include "platform/testing/MemoryFileSystem.h"
#include "tests/backup/ArchiveBytes.h"

namespace norv::robustness {
namespace {

using namespace norv::testing;

TEST(InstallerInput, CommandLinesOfAnyShapeSplitByTheirRules) {
  std::string many = "NorvInstall.exe";
  for (int i = 0; many.size() < 32 * 1024; ++i) many += " p" + std::to_string(i);
  const std::string huge(10000, 'P');
  struct Case {
    const char* what;
    std::string line;
    StartupValues expected;
  };
  const Case cases[] = {
      {"32 KiB of parameters", many, {"p0", "p1", "p2", "p3", "p4", "p5", "p6"}},
      {"10,000-character parameters", "x " + huge + " \"" + huge + "\"", {huge, huge}},
      {"an unterminated quote takes the rest", "x a \"b c\td", {"a", "b c\td"}},
      {"an unterminated quote alone is empty", "x a \"", {"a"}},
      {"control bytes separate",
       "x\x01"
       "a\x1F"
       "b\x7F\tc",
       {"a", "b\x7F", "c"}},
      {"the line ends at a NUL", std::string("x a\0b c", 7), {"a"}},
      {"empty quote pairs hold no place", "x \"\" \"\"\"\" a \"\" b", {"a", "b"}},
      {"only blanks", std::string(32 * 1024, ' '), {}},
      {"only quotes", std::string(32 * 1024, '"'), {}},
      {"high bytes are text", "x \xC7\xC3\xFF \"\xA0\"", {"\xC7\xC3\xFF", "\xA0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadStartupValues(c.line), c.expected);
  }
}

class InstallerBadInput : public ::testing::Test {
 protected:
  InstallerBadInput() { files.AddDirectory("C:\\Users\\norv\\Desktop"); }
  ~InstallerBadInput() override { CopyToWindowModule({}); }

  MemoryFileSystem files;
  FakeInstallerWindowSystem windows;
  FakeSystem system;
  FakeShell shell{files, "C:\\Users\\norv\\Desktop"};
  TFrmInstaladorNorv form{windows, windows, files, system, shell};
};

TEST_F(InstallerBadInput, DadosTxtKeepsEveryByteAndMendsLineBreaks) {
  files.AddFile("C:\\Dados.txt", std::string("a\0b\rc\r\rd\n\re\r\n", 13));
  form.FormShow();
  EXPECT_EQ(windows.MemoText(), std::string("a\0b\r\nc\r\n\r\nd\r\n\r\ne\r\n", 18));
}

TEST_F(InstallerBadInput, A20MiBDadosTxtOfLoneCRsIsShownWhole) {
  files.AddFile("C:\\Dados.txt", std::string(20 << 20, '\r'));
  form.FormShow();
  EXPECT_EQ(windows.MemoText().size(), std::size_t{40} << 20);
}

TEST_F(InstallerBadInput, TextBeyondTheMemoCapacityFailsAndLeavesTheMemo) {
  windows.SetMemoText("before");
  windows.SetMemoCapacity(64 * 1024);
  files.AddFile("C:\\Dados.txt", std::string(20 << 20, 'x'));
  EXPECT_THROW(form.FormShow(), Exception);
  EXPECT_EQ(windows.MemoText(), "before");
}

TEST_F(InstallerBadInput, FollowUpNamesThatAreFoldersOrCarryBlanksAreNotStarted) {
  files.AddFile("C:\\PROG\\APP.EXE", "program");
  files.AddDirectory("C:\\PROG\\FOLDER.EXE");
  CopyToWindowModule(
      {"", "missing.001", "", "", "C:\\PROG\\FOLDER.EXE", "C:\\PROG\\APP.EXE ", "C:\\PROG\\"});
  form.BttnInstalarClick();
  EXPECT_TRUE(system.Execs().empty());
  EXPECT_TRUE(windows.Dialogs().empty());
}

TEST_F(InstallerBadInput, AnArchiveWhoseVolumesLoopEndsTheInstallationWithAnError) {
  files.AddFile("Pac.001",
                Header(2) + Entry("C:\\A\\B.TXT") + Stored("a") + kEnd + NextDisk("002"));
  files.AddFile("Pac.002", kSig + Stored("b") + kEnd + NextDisk("001"));
  CopyToWindowModule({"OVERWRITE", "Pac.001"});
  EXPECT_THROW(form.BttnInstalarClick(), EBackupError);
  EXPECT_FALSE(form.Instalando());
  EXPECT_EQ(windows.CurrentCursor(), Cursor::Default);
  EXPECT_FALSE(files.HasFile("C:\\A\\B.TXT")) << "an entry that never ended";
}

}  // namespace
}  // namespace norv::robustness
