// Memory that no archive can move: restores and installations of archives
// whose fields claim huge names, deep paths and long components hold well
// under 16 MiB of heap, and nothing is allocated for a record name beyond
// the limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "install/FrmInstaladorNorv.h"
#include "install/testing/FakeInstallerWindowSystem.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/FakeShell.h"
#include "platform/testing/FakeSystem.h"
#include "tests/backup/ArchiveBytes.h"
#include "tests/robustness/AllocationWatch.h"
#include "tests/robustness/ProbedRestore.h"

namespace norv::robustness {
namespace {

using namespace norv::testing;

constexpr std::size_t kLimit = 16 << 20;

std::string Levels(int count) {
  std::string path;
  for (int i = 0; i < count; ++i) path += "A\\";
  return path;
}

struct Hostile {
  const char* what;
  std::string start;      // the first bytes of the volume
  std::int64_t size = 0;  // made this long by a hole
};

std::vector<Hostile> HostileArchives() {
  return {
      {"a 64 MiB name in a 1 GiB volume", Header(0) + I32(64 << 20), std::int64_t{1} << 30},
      {"a 512 MiB header text", I32(512 << 20), std::int64_t{1} << 30},
      {"20,000 levels", Header(3) + Entry("C:\\" + Levels(20000) + "F") + Stored("abc") + kEnd},
      {"16,000 levels", Header(3) + Entry("C:\\" + Levels(16000) + "F") + Stored("abc") + kEnd},
      {"a 30,000-character component",
       Header(3) + Entry("C:\\" + std::string(30000, 'N')) + Stored("abc") + kEnd},
  };
}

TEST(MemoryLimit, ARecordNameOver32KiBIsADamagedArchive) {
  MemoryFileSystem fs;
  fs.AddFile("D:\\ARC.001",
             Header(3) + Entry("C:\\" + std::string(1 << 20, 'N')) + Stored("abc") + kEnd);
  AnswerTape tape;
  TapeUserInterface ui(tape);
  TBackupFile backup(fs, ui);
  std::string message;
  AllocationWatch watch;
  try {
    backup.Restore("D:\\ARC.001", "C:");
  } catch (const EBackupError& e) {
    message = e.what();
  }
  EXPECT_NE(message.find("record name of 1048579 bytes"), std::string::npos) << message;
  // Nothing near the name's 1 MiB: the largest allocation is the 256 KiB
  // input buffer.
  if (AllocationWatch::Active()) {
    EXPECT_LT(watch.Largest(), std::size_t{1} << 19);
  }
  EXPECT_TRUE(fs.Directories().empty());
}

TEST(MemoryLimit, AnInstallationOfAHostileArchiveStaysSmall) {
  if (!AllocationWatch::Active()) GTEST_SKIP() << "allocations are not watched in this build";
  for (const Hostile& h : HostileArchives()) {
    SCOPED_TRACE(h.what);
    const auto root =
        std::filesystem::temp_directory_path() / ("norv-memory-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "UPD");
    std::ofstream(root / "UPD" / "ARC.001", std::ios::binary) << h.start;
    if (h.size > 0) std::filesystem::resize_file(root / "UPD" / "ARC.001", h.size);

    PosixFileSystem files(root.string());
    FakeInstallerWindowSystem windows;
    FakeSystem system;
    FakeShell shell(files, "C:\\Desktop");
    TFrmInstaladorNorv form(windows, windows, files, system, shell);
    ParamArquivo = "C:\\UPD\\ARC.001";
    AllocationWatch watch;
    try {
      form.BttnInstalarClick();
    } catch (const std::exception&) {
      // The damaged archive's exception; the message loop would show it.
    }
    ParamArquivo.clear();
    EXPECT_LT(watch.PeakGrowth(), kLimit);
    EXPECT_FALSE(std::filesystem::exists(root / "A")) << "a directory was made";
    std::filesystem::remove_all(root);
  }
}

}  // namespace
}  // namespace norv::robustness
