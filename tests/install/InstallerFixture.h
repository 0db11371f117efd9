#pragma once
// One installer window over fakes: an in-memory file system (relative names
// such as "PacRH.001" stand for the current directory), a window system, a
// window registry and a shell; archives made by the project's own writer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>

#include "NorvInstall/Startup.h"
#include "backup/ArchiveWriter.h"
#include "install/FrmInstaladorNorv.h"
#include "install/testing/FakeInstallerWindowSystem.h"
#include "platform/testing/FakeShell.h"
#include "platform/testing/FakeSystem.h"
#include "platform/testing/FaultFileSystem.h"
#include "platform/testing/MemoryFileSystem.h"

namespace norv::testing {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Lines = std::vector<std::string>;

inline constexpr const char* kDesktop = "C:\\Users\\norv\\Desktop";
// "*** PROCESSO CONCLUÍDO ***"
inline constexpr const char* kOk =
    "*** PROCESSO CONCLU\xCD"
    "DO ***";
// "*** PROCESSO CONCLUÍDO (C O M   E X C E S S Õ E S) ***"
inline constexpr const char* kComExcecoes =
    "*** PROCESSO CONCLU\xCD"
    "DO (C O M   E X C E S S \xD5 E S) ***";
// "*** PROCESSO NÃO CONCLUÍDO ***"
inline constexpr const char* kNaoConcluido =
    "*** PROCESSO N\xC3O CONCLU\xCD"
    "DO ***";
// "A instalação anterior foi restaurada."
inline constexpr const char* kRestaurada = "A instala\xE7\xE3o anterior foi restaurada.";
// " não descompactado porque o aplicativo está carregado na memória..."
inline const std::string kHeld =
    " n\xE3o descompactado porque o aplicativo est\xE1 carregado na mem\xF3ria...";

// Bytes that do not compress, so that volume sizes are predictable.
inline std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

class InstallerTest : public ::testing::Test {
 protected:
  InstallerTest() { files.AddDirectory(kDesktop); }
  ~InstallerTest() override { SetParams({}); }

  static void SetParams(const StartupValues& p) { CopyToWindowModule(p); }
  void Install(const std::array<std::string, 7>& params) {
    SetParams(params);
    form->BttnInstalarClick();
  }

  // `files`: stored name and contents. `maxSize` 0: one volume. Returns the volumes.
  Lines MakeArchive(const std::string& name,
                    const std::vector<std::pair<std::string, std::string>>& contents,
                    std::int32_t maxSize = 0) {
    std::vector<ArchiveEntry> entries;
    for (const auto& [stored, bytes] : contents) {
      const std::string source = "S:\\SRC\\" + std::to_string(entries.size());
      files.AddFile(source, bytes);
      entries.push_back({stored, source});
    }
    ArchiveOptions options;
    options.maxSize = maxSize;
    Lines volumes;
    for (const auto& v : WriteArchive(files, name, entries, options).volumes)
      volumes.push_back(v.name);
    return volumes;
  }

  // The log: the given lines, then the banner around `middle`.
  static Lines Log(Lines lines, const char* middle) {
    const char* rule = "============================";
    lines.insert(lines.end(), {rule, middle, rule});
    return lines;
  }

  MemoryFileSystem files;
  FaultFileSystem faults{files};  // the installer's: `files` with faults on request
  FakeInstallerWindowSystem windows;
  FakeSystem system;
  FakeShell shell{files, kDesktop};
  std::unique_ptr<TFrmInstaladorNorv> form =
      std::make_unique<TFrmInstaladorNorv>(windows, windows, faults, system, shell);
};

}  // namespace norv::testing
