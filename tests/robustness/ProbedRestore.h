#pragma once
// A component over the in-memory file system with every event assigned and
// watched by a RestoreProbe; the handlers answer as the installer's do
// unless a tape is given.
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupFile.h"
#include "fuzz/FuzzCase.h"
#include "platform/testing/FaultFileSystem.h"
#include "platform/testing/MemoryFileSystem.h"
#include "tests/robustness/RestoreProbe.h"

namespace norv::robustness {

struct ProbedRestore {
  explicit ProbedRestore(ProbeSettings settings = InstallerLike(), std::string tapeBytes = {})
      : tape(std::move(tapeBytes)), ui(tape), backup(faults, ui) {
    backup.SetRestoreFullPath(true);
    probe = std::make_unique<RestoreProbe>(backup, fs, ui, tape, settings);
  }
  static ProbeSettings InstallerLike() {
    ProbeSettings settings;
    settings.tapeAnswers = false;
    return settings;
  }
  // Puts the volumes at D:\UPD\ARC.001, .002, ...
  void AddVolumes(const std::vector<std::string>& volumes) {
    for (std::size_t i = 0; i < volumes.size(); ++i) {
      fs.AddFile(fuzz::VolumeName(static_cast<int>(i) + 1), volumes[i]);
    }
  }
  Outcome Run(const std::string& destination = "C:\\DEST") {
    return probe->Run(fuzz::VolumeName(1), destination);
  }

  MemoryFileSystem fs;
  FaultFileSystem faults{fs};  // the component's: `fs` with faults on request
  AnswerTape tape;
  TapeUserInterface ui;
  TBackupFile backup;
  std::unique_ptr<RestoreProbe> probe;
};

}  // namespace norv::robustness
