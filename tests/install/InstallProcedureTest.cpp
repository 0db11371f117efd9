// "&Instalar" from the first step to the last, over the fakes.
#include "tests/backup/ArchiveBytes.h"
#include "tests/install/InstallerFixture.h"

namespace norv::testing {
namespace {

TEST_F(InstallerTest, RoadOfOneInstallation) {
  const std::string rh = RandomBytes(40000, 1);
  ASSERT_THAT(
      MakeArchive("PacRH.001", {{"D:\\NORV\\RH.EXE", rh}, {"C:\\NORV\\LEIAME.TXT", "L"}}, 30000),
      ElementsAre("PacRH.001", "PacRH.002"));
  Install({"OVERWRITE", "PacRH.001", "NorvRH", "C:\\NORV\\RH.EXE", "", "", ""});

  // RH.EXE continues on the second volume: one line per part.
  EXPECT_THAT(windows.MemoLines(),
              ElementsAreArray(
                  Log({"Descompactando: C:\\NORV\\RH.EXE...", "Descompactando: C:\\NORV\\RH.EXE...",
                       "Descompactando: C:\\NORV\\LEIAME.TXT...",
                       // "Criando atalho na Área de Trabalho..."
                       "Criando atalho na \xC1rea de Trabalho...", "Atalho criado com sucesso."},
                      kOk)));
  EXPECT_EQ(files.FileBytes("C:\\NORV\\RH.EXE"), rh);
  EXPECT_EQ(files.FileBytes(std::string(kDesktop) + "\\NorvRH.LNK"),
            FakeShell::LinkContents("C:\\NORV\\RH.EXE", "C:\\NORV\\"));
  EXPECT_EQ(form->BackupFile.RestoreMode(), rmAll);
  EXPECT_THAT(system.Queries(), ElementsAre("TRHMain", "TRHMain"));  // refusal check, guard
  EXPECT_TRUE(windows.Dialogs().empty() && system.Execs().empty());
  EXPECT_THAT(windows.Cursors(), ElementsAre(Cursor::HourGlass, Cursor::Default));
  const auto& trace = windows.Trace();
  EXPECT_THAT(Lines(trace.begin(), trace.begin() + 4),
              ElementsAre("cursor hourglass", "scrollbar", "clear", "max 100"));
  const auto& positions = windows.ProgressPositions();
  EXPECT_EQ(positions.front(), 0);
  EXPECT_EQ(positions.back(), 100);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
}

struct RefusalCase {
  const char *archive, *windowClass, *name;
};
class RefusalTest : public InstallerTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, RunningOwnerRefusesAndTouchesNothing) {
  const RefusalCase& c = GetParam();
  MakeArchive(c.archive, {{"C:\\NORV\\A.TXT", "a"}});
  // "informação"
  windows.SetMemoText("informa\xE7\xE3o");
  for (const char* cls : {"TRHMain", "TLVMain", "TFrmNorvPonte", "TFrmNorvConta", "TMainForm"}) {
    system.OpenWindow(cls);
  }
  Install({"OVERWRITE", c.archive, "Atalho", "C:\\NORV\\A.TXT", "", "", ""});

  ASSERT_EQ(windows.Dialogs().size(), 1u);
  // "O <nome> está sendo executado neste computador.\rEncerre-o antes de prosseguir com a
  // instalação."
  EXPECT_EQ(windows.Dialogs()[0].text,
            std::string("O ") + c.name +
                " est\xE1 sendo executado neste computador.\rEncerre-o antes "
                "de prosseguir com a instala\xE7\xE3o.");
  EXPECT_EQ(windows.Dialogs()[0].kind, DialogKind::Information);
  EXPECT_EQ(windows.Dialogs()[0].buttons, DialogButtons::Ok);
  EXPECT_THAT(system.Queries(), ElementsAre(c.windowClass));  // only the named archive's row
  // "informação"
  EXPECT_EQ(windows.MemoText(), "informa\xE7\xE3o");
  EXPECT_TRUE(windows.Cursors().empty() && windows.ProgressPositions().empty());
  EXPECT_FALSE(files.HasFile("C:\\NORV\\A.TXT"));
  EXPECT_TRUE(shell.Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(ProductTable, RefusalTest,
                         ::testing::Values(RefusalCase{"PacRH.001", "TRHMain", "NorvRH"},
                                           RefusalCase{"PacLiv.001", "TLVMain", "NorvLivros"},
                                           RefusalCase{"PacPon~1.001", "TFrmNorvPonte",
                                                       "NorvPonte"}));

TEST_F(InstallerTest, NoRefusalOutsideTheTableOrWhileTheOwnerIsClosed) {
  for (const char* cls : {"TLVMain", "TFrmNorvPonte"}) system.OpenWindow(cls);
  for (const char* archive :
       {"pacrh.001", "C:\\PacLiv.001", "PacLiv.001 ", "PacPonte.001", "", "PacRH.001"}) {
    SCOPED_TRACE(archive);
    Install({"", archive, "", "", "", "", ""});
    EXPECT_TRUE(windows.Dialogs().empty());
  }
  EXPECT_THAT(system.Queries(), ElementsAre("TRHMain"));
  EXPECT_EQ(windows.Cursors().size(), 12u);
}

TEST_F(InstallerTest, OnlyExactOverwriteSelectsRestoreModeAllAndTheGuardDecidesAnyway) {
  files.AddFile("C:\\NORV\\A.TXT", "old");
  MakeArchive("Tab.001", {{"C:\\NORV\\A.TXT", "new"}});
  for (const char* param :
       {"overwrite", "Overwrite", " OVERWRITE", "OVERWRITE.", "", "OVERWRITE"}) {
    Install({param, "Tab.001", "", "", "", "", ""});
    EXPECT_EQ(form->BackupFile.RestoreMode(),
              std::string(param) == "OVERWRITE" ? rmAll : rmNoOverwrite);
  }
  EXPECT_EQ(files.FileBytes("C:\\NORV\\A.TXT"), "new");
}

class FollowUpTest : public InstallerTest {
 protected:
  FollowUpTest() {
    MakeArchive("Tab.001", {});
    files.AddFile("C:\\APP.EXE", "MZ");
    files.AddFile("C:\\B.EXE", "MZ");
  }
  static std::string Confirm(const std::string& program) {
    return "dialog Pressione OK somente quando o aplicativo\r" + program + "\rfor finalizado.";
  }
  Lines Tail(std::size_t n) { return Lines(windows.Trace().end() - n, windows.Trace().end()); }
};

TEST_F(FollowUpTest, EachExistingProgramRunsInTurnAfterItsLine) {
  windows.QueueAnswer(DialogResult::Cancel);  // any way of closing goes on
  Install({"", "Tab.001", "", "", "C:\\APP.EXE", "C:\\B.EXE", "C:\\APP.EXE"});
  ASSERT_EQ(system.Execs().size(), 3u);
  EXPECT_EQ(system.Execs()[2].commandLine, "C:\\APP.EXE");
  EXPECT_EQ(system.Execs()[2].showWindow, 0u);
  EXPECT_THAT(Tail(10),
              ElementsAre("line Executando o aplicativo C:\\APP.EXE...", Confirm("C:\\APP.EXE"),
                          "line Executando o aplicativo C:\\B.EXE...", Confirm("C:\\B.EXE"),
                          "line Executando o aplicativo C:\\APP.EXE...", Confirm("C:\\APP.EXE"),
                          "line ============================", std::string("line ") + kOk,
                          "line ============================", "cursor default"));
  EXPECT_EQ(windows.Dialogs()[0].kind, DialogKind::Information);
  EXPECT_EQ(windows.Dialogs()[0].buttons, DialogButtons::Ok);
}

TEST_F(FollowUpTest, EmptyFoldersMissingFilesAndCommandLinesAreSkipped) {
  Install({"", "Tab.001", "", "", "", "C:\\B.EXE", ""});
  EXPECT_EQ(system.Execs().size(), 1u);
  Install({"", "Tab.001", "", "", "C:\\NORV", "C:\\APP.EXE /s", "C:\\NADA.EXE"});
  EXPECT_EQ(system.Execs().size(), 1u);
  EXPECT_THAT(windows.MemoLines(), ElementsAreArray(Log({}, kOk)));
}

// --- A restore that did not complete is never reported as success ---

TEST_F(InstallerTest, MissingFirstVolumeIsReportedAndTheRestStillRuns) {
  files.AddFile("C:\\APP.EXE", "MZ");
  Install({"OVERWRITE", "PacX.001", "Atalho", "C:\\APP.EXE", "C:\\APP.EXE", "", ""});
  // "ERRO: arquivo de atualização não encontrado: PacX.001",
  // "Criando atalho na Área de Trabalho..."
  EXPECT_THAT(
      windows.MemoLines(),
      ElementsAreArray(Log({"ERRO: arquivo de atualiza\xE7\xE3o n\xE3o encontrado: PacX.001",
                            "Criando atalho na \xC1rea de Trabalho...",
                            "Atalho criado com sucesso.", "Executando o aplicativo C:\\APP.EXE..."},
                           kNaoConcluido)));
}

// A file that cannot be placed: the log names it with the system's reason
// before the banner, and the run stops there.
class FailedFileTest : public InstallerTest {
 protected:
  void InstallExpecting(const Lines& lines) {
    files.AddFile("C:\\NORV\\B.DAT", "old b", 7);
    windows.QueueAnswer(DialogResult::Ok);  // the component's error dialog
    Install({"OVERWRITE", "Tab.001", "", "", "", "", ""});
    Lines logged = lines;
    logged.push_back(kRestaurada);
    EXPECT_THAT(windows.MemoLines(), ElementsAreArray(Log(logged, kNaoConcluido)));
    EXPECT_EQ(files.FileBytes("C:\\NORV\\B.DAT"), "old b");
  }
  void SetUp() override {
    MakeArchive("Tab.001", {{"C:\\NORV\\RH.EXE", "new"}, {"C:\\NORV\\B.DAT", "b"}});
  }
};

TEST_F(FailedFileTest, InUseByAnotherProgram) {
  files.AddFile("C:\\NORV\\RH.EXE", "old", 7);
  faults.Lock("C:\\NORV\\RH.EXE");
  InstallExpecting({std::string("ERRO: C:\\NORV\\RH.EXE: ") + FaultFileSystem::kInUse});
  EXPECT_EQ(files.FileBytes("C:\\NORV\\RH.EXE"), "old");
}

TEST_F(FailedFileTest, FolderThatIsAFile) {
  files.AddFile("C:\\NORV", "", 7);
  windows.QueueAnswer(DialogResult::Ok);
  Install({"OVERWRITE", "Tab.001", "", "", "", "", ""});
  EXPECT_THAT(windows.MemoLines(),
              ElementsAreArray(
                  Log({"ERRO: C:\\NORV\\RH.EXE: Cannot create a file when that file already exists",
                       kRestaurada},
                      kNaoConcluido)));
}

TEST_F(FailedFileTest, DiskFullKeepsTheFilesLogLine) {
  files.AddFile("C:\\NORV\\RH.EXE", "old", 7);
  // The journal's first record and RH.EXE's, then two bytes of RH.EXE.
  faults.LimitWrites(27 + 31 + 2);
  InstallExpecting({"Descompactando: C:\\NORV\\RH.EXE...",
                    std::string("ERRO: C:\\NORV\\RH.EXE: ") + FaultFileSystem::kDiskFull});
  EXPECT_EQ(files.FileBytes("C:\\NORV\\RH.EXE"), "old");
  EXPECT_EQ(files.Stamp("C:\\NORV\\RH.EXE"), 7);
}

TEST_F(InstallerTest, MissingNextVolumeAsksUntilPutInPlaceOrCancelled) {
  const std::string data = RandomBytes(40000, 3);
  // RH.EXE is held back, B.DAT continues on the second volume.
  MakeArchive("Tab.001", {{"C:\\NORV\\RH.EXE", "rh"}, {"C:\\NORV\\B.DAT", data}}, 30000);
  const std::string second = files.FileBytes("Tab.002");
  files.RemoveFile("Tab.002");
  system.OpenWindow("TRHMain");
  windows.QueueAnswer(DialogResult::Ok);  // OK without the volume: asked again
  windows.QueueAnswer(DialogResult::Cancel);
  Install({"", "Tab.001", "", "", "", "", ""});
  ASSERT_EQ(windows.Dialogs().size(), 2u);
  EXPECT_EQ(
      windows.Dialogs()[0].text,
      // "O volume Tab.002 não foi encontrado.\rColoque-o na mesma pasta do primeiro volume e "
      "O volume Tab.002 n\xE3o foi encontrado.\rColoque-o na mesma pasta do primeiro volume e "
      "pressione OK, ou Cancel para interromper.");
  EXPECT_EQ(windows.Dialogs()[0].buttons, DialogButtons::OkCancel);
  // A stopped run outranks the held-back file.
  EXPECT_EQ(windows.MemoLines().end()[-2], kNaoConcluido);

  windows.SetOnDialog([&](const FakeDialog&) -> std::optional<DialogResult> {
    files.AddFile("Tab.002", second);
    return DialogResult::Ok;
  });
  Install({"", "Tab.001", "", "", "", "", ""});
  EXPECT_EQ(files.FileBytes("C:\\NORV\\B.DAT"), data);
  EXPECT_EQ(windows.MemoLines().end()[-2], kComExcecoes);
}

// The handler looks for the file the component will open, whatever the
// volume number text of the record: a volume named from DiskID instead
// (Tab.002) made it answer "continue" for ever.
TEST_F(InstallerTest, NextVolumeIsTheNameTheComponentWillOpen) {
  struct Row {
    std::string number;   // after NEXT:DISK
    std::string awaited;  // the volume the component opens
  } rows[] = {{"2", "Tab.2"}, {"02", "Tab.02"}, {"+02", "Tab.+02"}, {"002", "Tab.002"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.number);
    MemoryFileSystem disk;
    FakeInstallerWindowSystem screen;
    FakeShell desktop{disk, kDesktop};
    TFrmInstaladorNorv window(screen, screen, disk, system, desktop);
    disk.AddFile("Tab.001",
                 Header(3) + Entry("C:\\NORV\\A.DAT") + Stored("ab") + kEnd + NextDisk(row.number));
    const std::string second = kSig + Stored("c") + kEnd + kEnd;
    disk.AddFile("Tab.002", second);  // what a handler rebuilding from DiskID finds
    auto handler = window.BackupFile.OnNeedDisk;
    int requests = 0;
    window.BackupFile.OnNeedDisk = [&](TBackupFile& sender, std::uint16_t id, bool& go) {
      if (++requests > 5) throw std::runtime_error("the volume request does not end");
      handler(sender, id, go);
    };
    screen.QueueAnswer(DialogResult::Cancel);
    SetParams({"", "Tab.001", "", "", "", "", ""});
    window.BttnInstalarClick();
    EXPECT_EQ(requests, 1);
    if (row.awaited == "Tab.002") {
      EXPECT_TRUE(screen.Dialogs().empty());
      EXPECT_EQ(disk.FileBytes("C:\\NORV\\A.DAT"), "abc");
      continue;
    }
    ASSERT_EQ(screen.Dialogs().size(), 1u);
    EXPECT_EQ(screen.Dialogs()[0].text.substr(0, 10 + row.awaited.size()),
              "O volume " + row.awaited + " ");
    EXPECT_EQ(screen.MemoLines().end()[-2], kNaoConcluido);

    // With that file in place the installation goes through without asking.
    disk.AddFile(row.awaited, second);
    window.BttnInstalarClick();
    EXPECT_EQ(requests, 2);
    EXPECT_EQ(screen.Dialogs().size(), 1u);
    EXPECT_EQ(disk.FileBytes("C:\\NORV\\A.DAT"), "abc");
    EXPECT_EQ(screen.MemoLines().end()[-2], kOk);
  }
}

// --- Re-entry and failures ---

TEST_F(InstallerTest, SecondPressDuringARunIsIgnored) {
  MakeArchive("Tab.001", {{"C:\\NORV\\A.DAT", RandomBytes(50000, 4)}});
  int presses = 0;
  windows.SetOnServeMessages([&] { ++presses, form->BttnInstalar.Click(); });
  Install({"", "Tab.001", "", "", "", "", ""});
  EXPECT_GT(presses, 1);
  EXPECT_THAT(windows.Cursors(), ElementsAre(Cursor::HourGlass, Cursor::Default));
  EXPECT_THAT(windows.MemoLines(),
              ElementsAreArray(Log({"Descompactando: C:\\NORV\\A.DAT..."}, kOk)));
  EXPECT_FALSE(form->Instalando());
}

TEST_F(InstallerTest, ErrorOutOfTheRestoreEndsTheRunAndTheNextPressWorks) {
  files.AddFile("Tab.001", "not an archive");
  SetParams({"", "Tab.001", "Atalho", "C:\\X.EXE", "", "", ""});
  EXPECT_THROW(form->BttnInstalarClick(), std::exception);
  EXPECT_THAT(windows.Cursors(), ElementsAre(Cursor::HourGlass, Cursor::Default));
  EXPECT_TRUE(windows.MemoLines().empty() && shell.Calls().empty());

  MakeArchive("Tab.001", {{"C:\\NORV\\A.TXT", "a"}});
  form->BttnInstalarClick();
  EXPECT_EQ(windows.MemoLines().size(), 6u);
}

}  // namespace
}  // namespace norv::testing
