// The installer restores as one transaction: a failed run leaves drive C:
// as it was and says so; a killed run is finished by the next one, which
// logs it before its first file.
#include "tests/install/InstallerFixture.h"

namespace norv::testing {
namespace {

class AllOrNothingInstallTest : public InstallerTest {
 protected:
  void SetUp() override {
    files.AddFile("C:\\NORV\\RH.EXE", "old rh", 7);
    files.AddFile("C:\\NORV\\B.DAT", "old b", 7);
    MakeArchive("Tab.001",
                {{"C:\\NORV\\RH.EXE", RandomBytes(30000, 1)},
                 {"C:\\NORV\\NOVA\\C.DAT", RandomBytes(30000, 2)},
                 {"C:\\NORV\\B.DAT", RandomBytes(30000, 3)}},
                25000);
    before = Drive();
  }
  // Every file and folder of drive C: with its bytes and date.
  Lines Drive() const {
    Lines drive = files.Directories();
    for (const std::string& name : files.Files()) {
      if (name.starts_with("C:")) {
        drive.push_back(name + " " +
                        std::to_string(std::hash<std::string>()(files.FileBytes(name))) + " " +
                        std::to_string(files.Stamp(name)));
      }
    }
    return drive;
  }
  Lines before;
};

TEST_F(AllOrNothingInstallTest, MissingLastVolumeLeavesDriveCAsItWas) {
  files.RemoveFile("Tab.004");
  windows.QueueAnswer(DialogResult::Cancel);  // the installer's volume prompt
  Install({"OVERWRITE", "Tab.001", "", "", "", "", ""});
  const Lines log = windows.MemoLines();
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log[0], "Descompactando: C:\\NORV\\RH.EXE...");
  EXPECT_EQ(log[log.size() - 4], kRestaurada);
  EXPECT_EQ(log[log.size() - 2], kNaoConcluido);
  EXPECT_EQ(Drive(), before);
}

TEST_F(AllOrNothingInstallTest, KilledRunIsUndoneAndLoggedByTheNextOne) {
  faults.CrashAt(12);
  SetParams({"OVERWRITE", "Tab.001", "", "", "", "", ""});
  EXPECT_THROW(form->BttnInstalarClick(), SimulatedCrash);

  TFrmInstaladorNorv next(windows, windows, files, system, shell);
  next.BttnInstalarClick();
  const Lines log = windows.MemoLines();
  ASSERT_GE(log.size(), 3u);
  // "Recuperando a instalação interrompida de Tab.001..."
  EXPECT_EQ(log[0], "Recuperando a instala\xE7\xE3o interrompida de Tab.001...");
  // "A instalação interrompida foi desfeita."
  EXPECT_EQ(log[1], "A instala\xE7\xE3o interrompida foi desfeita.");
  EXPECT_EQ(log[2], "Descompactando: C:\\NORV\\RH.EXE...");
  EXPECT_EQ(log[log.size() - 2], kOk);
  for (const std::string& name : files.Files()) {
    EXPECT_EQ(name.find(".norv"), std::string::npos) << name;
  }
}

TEST_F(AllOrNothingInstallTest, HeldBackFilesAreUntouchedAndTheRunCommits) {
  system.OpenWindow("TRHMain");
  Install({"OVERWRITE", "Tab.001", "", "", "", "", ""});
  EXPECT_EQ(windows.MemoLines()[windows.MemoLines().size() - 2], kComExcecoes);
  EXPECT_EQ(files.FileBytes("C:\\NORV\\RH.EXE"), "old rh");
  EXPECT_NE(files.FileBytes("C:\\NORV\\B.DAT"), "old b");
  EXPECT_FALSE(files.HasFile("C:\\.norvjournal"));
}

}  // namespace
}  // namespace norv::testing
