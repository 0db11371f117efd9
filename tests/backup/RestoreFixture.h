#pragma once
// A component over an in-memory file system and a scripted window system,
// with every event recorded as one line of text.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "backup/BackupFile.h"
#include "platform/testing/FaultFileSystem.h"
#include "platform/testing/MemoryFileSystem.h"
#include "platform/testing/ScriptedUserInterface.h"
#include "tests/backup/ArchiveBytes.h"

namespace norv::testing {

inline constexpr const char* kArchive = "D:\\UPD\\ARC.001";
using Lines = std::vector<std::string>;

// Records the events of `backup` into `events`; the hooks may answer.
struct Recorder {
  Lines events;
  std::function<void(std::string&, bool&)> onRestoreFile;
  std::function<void(bool&)> onProgress;
  std::function<void(bool&)> onNeedDisk;

  void Attach(TBackupFile& backup, bool needDisk) {
    backup.OnRestoreFile = [this](TBackupFile&, std::string& name, std::int32_t, bool& yes) {
      events.push_back("restore " + name + (yes ? " yes" : " no"));
      if (onRestoreFile) onRestoreFile(name, yes);
    };
    backup.OnFileRestored = [this](TBackupFile&, std::string& name, TFileStream& stream) {
      events.push_back("restored " + name + " at " + std::to_string(stream.Position()));
    };
    backup.OnProgress = [this](TBackupFile&, std::string name, TPercentage percent, bool& go) {
      events.push_back("progress " + name + " " + std::to_string(percent));
      if (onProgress) onProgress(go);
    };
    backup.OnError = [this](TBackupFile&, std::int32_t code, std::string text) {
      events.push_back("error " + std::to_string(code) + " " + text);
    };
    if (!needDisk) return;
    backup.OnNeedDisk = [this](TBackupFile&, std::uint16_t id, bool& go) {
      events.push_back("disk " + std::to_string(id));
      if (onNeedDisk) onNeedDisk(go);
    };
  }
  long Count(const std::string& prefix) const {
    return std::count_if(events.begin(), events.end(),
                         [&](const std::string& e) { return e.starts_with(prefix); });
  }
};

class RestoreTest : public ::testing::Test {
 protected:
  RestoreTest() {
    backup.SetRestoreFullPath(true);
    log.Attach(backup, false);
  }
  void TearDown() override {
    EXPECT_EQ(fs.OpenHandles(), 0) << "a stream was left open";
    EXPECT_FALSE(backup.Running());
  }
  bool Restore(const std::string& bytes, const std::string& destination = "C:") {
    fs.AddFile(kArchive, bytes);
    return backup.Restore(kArchive, destination);
  }
  // Runs `action` and returns the message of the exception it raised.
  static std::string Raised(const std::function<void()>& action) {
    try {
      action();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "no exception";
  }

  MemoryFileSystem fs;
  FaultFileSystem faults{fs};  // the component's file system: `fs` with faults on request
  ScriptedUserInterface ui;
  TBackupFile backup{faults, ui};
  Recorder log;
};

}  // namespace norv::testing
