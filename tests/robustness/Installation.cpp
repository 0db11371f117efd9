#include "tests/robustness/Installation.h"

#include "backup/ArchiveWriter.h"
#include "backup/BackupFile.h"
#include "backup/TargetFile.h"
#include "fuzz/FuzzCase.h"
#include "platform/Paths.h"
#include "platform/testing/MemoryFileSystem.h"
#include "platform/testing/ScriptedUserInterface.h"
#include "tests/robustness/ReferenceArchive.h"

namespace norv::robustness {

namespace {
constexpr const char* kFirstVolume = "W:\\OUT\\ARC.001";
}  // namespace

Installation Installation::Make(int count, std::int32_t volumeBytes) {
  Installation installation;
  MemoryFileSystem source;
  ArchiveOptions options;
  options.title = "Atualizacao";
  options.maxSize = volumeBytes;
  source.AddDirectory("W:\\OUT");
  ArchiveWriter writer(source, kFirstVolume, options);
  for (int i = 0; i < count; ++i) {
    const auto u = static_cast<unsigned>(i);
    const std::size_t size = i % 6 == 0 ? 20000 + u * 97 : 500 + u * 131;
    InstalledFile file;
    const std::string dir = i % 3 == 0 ? "APP\\DATA\\" : "APP\\";
    file.target = "C:\\DEST\\" + dir + "F" + std::to_string(i) + ".BIN";
    file.newBytes = i % 2 ? ReferenceText(size, u) : ReferenceNoise(size, u);
    file.installed = i % 7 != 3;
    if (file.installed) file.oldBytes = "old " + std::to_string(i) + ReferenceText(u * 41, u + 9);
    const std::string sourceName = "S:\\SRC\\" + std::to_string(i);
    source.AddFile(sourceName, file.newBytes, kUpdateDate);
    writer.AddFile("C:\\" + dir + "F" + std::to_string(i) + ".BIN", sourceName);
    installation.files.push_back(std::move(file));
  }
  for (const auto& volume : writer.Finish().volumes) {
    installation.volumes.push_back(source.FileBytes(volume.name));
  }
  return installation;
}

namespace {
void Write(FileSystem& fs, const std::string& name, const std::string& bytes, std::int32_t date) {
  fs.ForceDirectories(ExtractFileDir(name));
  auto file = fs.CreateWrite(name);
  file->WriteExactly(bytes.data(), bytes.size());
  file->SetDosDate(date);
}
}  // namespace

void Installation::LayOut(FileSystem& fs) const {
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    Write(fs, fuzz::VolumeName(static_cast<int>(i) + 1), volumes[i], kUpdateDate);
  }
  for (const auto& file : files) {
    fs.RemoveFile(TargetFile::TemporaryName(file.target));
    if (file.installed) {
      Write(fs, file.target, file.oldBytes, kInstalledDate);
    } else {
      fs.RemoveFile(file.target);
    }
  }
}

bool ReadWhole(FileSystem& fs, const std::string& name, std::string& bytes) {
  if (!fs.FileExists(name)) return false;
  auto file = fs.OpenRead(name);
  bytes.assign(static_cast<std::size_t>(file->Size()), '\0');
  file->ReadExactly(bytes.data(), bytes.size());
  return true;
}

std::vector<std::string> Installation::Torn(FileSystem& fs) const {
  std::vector<std::string> torn;
  for (const auto& file : files) {
    std::string bytes;
    const bool present = ReadWhole(fs, file.target, bytes);
    const std::int32_t stamp = fs.FileStamp(file.target);
    const bool old =
        file.installed ? present && bytes == file.oldBytes && stamp == kInstalledDate : !present;
    const bool fresh = present && bytes == file.newBytes && stamp == kUpdateDate;
    if (!old && !fresh) {
      torn.push_back(file.target + ": " + (present ? std::to_string(bytes.size()) : "no") +
                     " bytes, stamp " + std::to_string(stamp));
    }
  }
  return torn;
}

std::vector<std::string> Installation::NotNew(FileSystem& fs) const {
  std::vector<std::string> names;
  for (const auto& file : files) {
    std::string bytes;
    if (!ReadWhole(fs, file.target, bytes) || bytes != file.newBytes ||
        fs.FileStamp(file.target) != kUpdateDate) {
      names.push_back(file.target);
    }
  }
  return names;
}

std::vector<std::string> Installation::Temporaries(FileSystem& fs) const {
  std::vector<std::string> names;
  for (const auto& file : files) {
    const std::string temporary = TargetFile::TemporaryName(file.target);
    if (fs.FileExists(temporary)) names.push_back(temporary);
  }
  return names;
}

RestoreResult RestoreInstallation(FileSystem& fs,
                                  const std::function<void(const std::string&)>& onProgress) {
  ScriptedUserInterface ui;
  TBackupFile backup(fs, ui);
  backup.SetRestoreFullPath(true);
  backup.OnProgress = [&](TBackupFile&, std::string name, TPercentage, bool& go) {
    if (onProgress && !name.empty()) onProgress(name);
    go = true;
  };
  backup.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool& go) { go = true; };
  RestoreResult run;
  backup.OnError = [&run](TBackupFile&, std::int32_t code, std::string text) {
    run.errorEvents.push_back(std::to_string(code) + " " + text);
  };
  backup.OnFileRestored = [&run](TBackupFile&, std::string& name, TFileStream&) {
    run.restoredFiles.push_back(name);
  };
  run.result = backup.Restore(fuzz::VolumeName(1), "C:\\DEST");
  run.errorCode = backup.ErrorCode();
  run.failedFile = backup.FailedFileName();
  run.reason = backup.FailureReason();
  return run;
}

}  // namespace norv::robustness
