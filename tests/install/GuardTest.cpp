// The per-file guard and the log lines of the restore.
#include "tests/install/InstallerFixture.h"

namespace norv::testing {
namespace {

struct GuardCase {
  const char* file;
  Lines running;
  bool written;
  Lines asked;  // classes asked, in order
};

class GuardRowTest : public InstallerTest, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(GuardRowTest, DecidesFromTheRowsClasses) {
  const GuardCase& c = GetParam();
  for (const std::string& cls : c.running) system.OpenWindow(cls);
  std::string name = c.file;
  bool doRestore = false;  // the component's proposal does not count
  form->BackupFileRestoreFile(form->BackupFile, name, 0, doRestore);
  EXPECT_EQ(doRestore, c.written);
  EXPECT_EQ(system.Queries(), c.asked);
  EXPECT_EQ(form->ComExcecoes, !c.written);
  // "ATENÇÃO: arquivo: "
  EXPECT_EQ(windows.MemoLines(),
            c.written ? Lines{} : Lines{"ATEN\xC7\xC3O: arquivo: " + name + kHeld});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GuardRowTest,
    ::testing::Values(
        GuardCase{"C:\\N\\QUADRO.EXE", {"TMainForm"}, false, {"TMainForm"}},
        GuardCase{"C:\\N\\QUADRO.EXE", {"TFrmNorvConta"}, false, {"TMainForm", "TFrmNorvConta"}},
        GuardCase{"C:\\N\\QUADRO.EXE", {}, true, {"TMainForm", "TFrmNorvConta"}},
        GuardCase{"C:\\N\\CONTA.EXE", {"TFrmNorvConta"}, false, {"TFrmNorvConta"}},
        GuardCase{"C:\\N\\CONTA.EXE", {"TMainForm"}, true, {"TFrmNorvConta"}},
        GuardCase{"C:\\IB\\GDS32.DLL", {"TFrmNorvConta"}, false, {"TFrmNorvConta"}},
        GuardCase{"C:\\N\\RH.EXE", {"TRHMain"}, false, {"TRHMain"}},
        GuardCase{"C:\\N\\TUTIL32.DLL", {"TRHMain"}, false, {"TRHMain"}},
        GuardCase{"C:\\N\\TUTIL32.DLL", {"TLVMain"}, false, {"TRHMain", "TLVMain"}},
        GuardCase{"C:\\N\\TUTIL32.DLL", {}, true, {"TRHMain", "TLVMain"}},
        GuardCase{"C:\\N\\LIVROS.EXE", {"TLVMain"}, false, {"TLVMain"}},
        GuardCase{"C:\\N\\PONTE.EXE", {"TFrmNorvPonte"}, false, {"TFrmNorvPonte"}},
        GuardCase{"C:\\N\\PONTE.EXE", {"TRHMain", "TLVMain"}, true, {"TFrmNorvPonte"}},
        // Any letter case matches; the line keeps the path's own.
        GuardCase{"C:\\norv\\Rh.exe", {"TRHMain"}, false, {"TRHMain"}},
        GuardCase{"C:RH.EXE", {"TRHMain"}, false, {"TRHMain"}},
        // Only the whole last part counts.
        GuardCase{"C:\\N\\XRH.EXE", {"TRHMain"}, true, {}},
        GuardCase{"C:\\N\\RH.EXE.BAK", {"TRHMain"}, true, {}},
        GuardCase{"C:\\RH.EXE\\OUTRO.DLL", {"TRHMain"}, true, {}}));

TEST_F(InstallerTest, HeldBackFilesAreLoggedAndMarkTheBanner) {
  MakeArchive("Tab.001",
              {{"C:\\N\\TUTIL32.DLL", "t"}, {"C:\\N\\A.TXT", "a"}, {"C:\\N\\LIVROS.EXE", "l"}});
  files.AddFile("C:\\N\\LIVROS.EXE", "old");
  system.OpenWindow("TLVMain");
  Install({"OVERWRITE", "Tab.001", "", "", "", "", ""});
  // "ATENÇÃO: arquivo: ..."
  EXPECT_THAT(windows.MemoLines(),
              ElementsAreArray(Log({"ATEN\xC7\xC3O: arquivo: C:\\N\\TUTIL32.DLL" + kHeld,
                                    "Descompactando: C:\\N\\A.TXT...",
                                    "ATEN\xC7\xC3O: arquivo: C:\\N\\LIVROS.EXE" + kHeld},
                                   kComExcecoes)));
  EXPECT_FALSE(files.HasFile("C:\\N\\TUTIL32.DLL"));
  EXPECT_EQ(files.FileBytes("C:\\N\\LIVROS.EXE"), "old");

  // The next run starts with a clean slate.
  system.CloseWindow("TLVMain");
  Install({"OVERWRITE", "Tab.001", "", "", "", "", ""});
  EXPECT_EQ(windows.MemoLines().end()[-2], kOk);
  EXPECT_EQ(files.FileBytes("C:\\N\\LIVROS.EXE"), "l");
}

TEST_F(InstallerTest, SiblingThatStartsMidRestoreHoldsBackItsLaterFiles) {
  MakeArchive("Tab.001", {{"C:\\N\\A.TXT", "a"}, {"C:\\N\\RH.EXE", "rh"}});
  windows.SetOnServeMessages([&] { system.OpenWindow("TRHMain"); });
  Install({"", "Tab.001", "", "", "", "", ""});
  // "ATENÇÃO: arquivo: C:\\N\\RH.EXE"
  EXPECT_THAT(windows.MemoLines(),
              ElementsAreArray(Log({"Descompactando: C:\\N\\A.TXT...",
                                    "ATEN\xC7\xC3O: arquivo: C:\\N\\RH.EXE" + kHeld},
                                   kComExcecoes)));
  EXPECT_FALSE(files.HasFile("C:\\N\\RH.EXE"));
}

}  // namespace
}  // namespace norv::testing
