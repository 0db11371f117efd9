// CriaShortCut's calls in their fixed order, its file name, and the log line
// that follows it.
#include "install/InstallErrors.h"
#include "tests/install/InstallerFixture.h"

namespace norv::testing {
namespace {

const std::string kLink = std::string(kDesktop) + "\\Agenda.LNK";

TEST_F(InstallerTest, ShortcutCallsComeInTheirFixedOrder) {
  form->CriaShortCut("Agenda", "C:\\Pasta\\APP.EXE", 0);
  EXPECT_THAT(shell.Calls(),
              ElementsAre("CreateShellLink", "QueryShellLinkA", "QueryPersistFile",
                          "SetPath C:\\Pasta\\APP.EXE", "SetWorkingDirectory C:\\Pasta\\",
                          "SpecialFolderPath 0", "Save " + kLink + " 0", "Release IPersistFile",
                          "Release IShellLinkA", "Release object"));
}

TEST_F(InstallerTest, ShortcutNamesAndTargets) {
  const struct {
    const char *name, *target, *workingDirectory;
  } cases[] = {
      {"Agenda.lnk", "C:\\A.EXE", "C:\\"},  // gets ".LNK" all the same
      {"Sem pasta", "APP.EXE", ""},
      {"Drive", "D:APP.EXE", "D:"},
      {"Vazio", "", ""},
      {"Cont\xE1"
       "bil \x80",
       "C:\\A.EXE", "C:\\"},  // Windows-1252 bytes unchanged
  };
  for (const auto& c : cases) {
    form->CriaShortCut(c.name, c.target, 0);
    EXPECT_EQ(files.FileBytes(std::string(kDesktop) + "\\" + c.name + ".LNK"),
              FakeShell::LinkContents(c.target, c.workingDirectory));
  }
  // An existing file of the link's name stays as it is.
  files.AddFile(kLink, "another program");
  form->CriaShortCut("Agenda", "C:\\Pasta\\APP.EXE", 0);
  EXPECT_EQ(files.FileBytes(kLink), "another program");
}

TEST_F(InstallerTest, ShortcutFailuresReleaseWhatWasObtained) {
  const struct {
    ShellStep step;
    std::string message;
    Lines calls;
  } cases[] = {
      {ShellStep::Create, "OLE error 800401F0", {"CreateShellLink"}},
      {ShellStep::QueryShellLinkA,
       "Interface not supported",
       {"CreateShellLink", "QueryShellLinkA", "Release object"}},
      {ShellStep::QueryPersistFile,
       "Interface not supported",
       {"CreateShellLink", "QueryShellLinkA", "QueryPersistFile", "Release IShellLinkA",
        "Release object"}},
  };
  for (const auto& c : cases) {
    FakeShell failing(files, kDesktop);
    failing.FailAt(c.step, static_cast<std::int32_t>(0x800401F0));
    TFrmInstaladorNorv window(windows, windows, files, system, failing);
    try {
      window.CriaShortCut("Agenda", "C:\\A.EXE", 0);
      ADD_FAILURE();
    } catch (const Exception& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_EQ(failing.Calls(), c.calls);
  }
  shell.FailAt(ShellStep::Create, 5);
  shell.SetSystemErrorText(5, "Access is denied.");
  EXPECT_THROW(form->CriaShortCut("Agenda", "C:\\A.EXE", 0), EOleSysError);
  EXPECT_FALSE(files.HasFile(kLink));
}

TEST_F(InstallerTest, ShortcutLineTellsWhetherTheLinkExists) {
  auto logged = [&] {
    Install({"", "Nada.001", "Agenda", "C:\\A.EXE", "", "", ""});
    return windows.MemoLines()[2];
  };
  EXPECT_EQ(logged(), "Atalho criado com sucesso.");
  files.RemoveFile(kLink);
  shell.FailAt(ShellStep::Save);
  // "Não foi possível criar o atalho."
  EXPECT_EQ(logged(), "N\xE3o foi poss\xEDvel criar o atalho.");
  // An unresolved folder writes nothing anywhere.
  shell.FailAt(ShellStep::SpecialFolderPath);
  // "Não foi possível criar o atalho."
  EXPECT_EQ(logged(), "N\xE3o foi poss\xEDvel criar o atalho.");
  EXPECT_EQ(shell.Calls().end()[-4], "SpecialFolderPath 0");
}

TEST_F(InstallerTest, FailureInTheShortcutStepEndsTheRun) {
  files.AddFile("C:\\A.EXE", "MZ");
  shell.FailAt(ShellStep::QueryPersistFile);
  SetParams({"", "Nada.001", "Agenda", "C:\\A.EXE", "C:\\A.EXE", "", ""});
  EXPECT_THROW(form->BttnInstalarClick(), EIntfCastError);
  // "ERRO: arquivo de atualização não encontrado: Nada.001",
  // "Criando atalho na Área de Trabalho..."
  EXPECT_THAT(windows.MemoLines(),
              ElementsAre("ERRO: arquivo de atualiza\xE7\xE3o n\xE3o encontrado: Nada.001",
                          "Criando atalho na \xC1rea de Trabalho..."));
  EXPECT_TRUE(system.Execs().empty());
  EXPECT_EQ(windows.CurrentCursor(), Cursor::Default);
}

}  // namespace
}  // namespace norv::testing
