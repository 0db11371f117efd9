#pragma once
// Temporary directories and file contents for the archive tests.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "backup/ArchiveReader.h"

namespace norv::testing {

// A fresh directory under the system's temp directory, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Bytes that do not compress (a fixed pseudo-random sequence per seed).
std::string NoiseBytes(std::size_t size, std::uint32_t seed);
// Text lines that compress well.
std::string TextBytes(std::size_t size);

// Writes `bytes` to `path` (making its directories) and dates it.
void WriteFile(const std::string& path, const std::string& bytes, std::int32_t dosDate);
std::string ReadFile(const std::string& path);
// The file's date as the file system reports it.
std::int32_t FileDate(const std::string& path);

// Everything a walk over an archive yields.
struct ReadBack {
  ArchiveHeader header;
  std::vector<ArchiveRecord> records;
  std::map<std::string, std::string> contents;  // by stored name, continuations joined
  std::vector<ArchiveProblem> problems;
  bool opened = false;
  bool complete = false;
};
ReadBack ReadArchive(const std::string& firstVolume);

// How a run of norvarc ended, and what it printed.
struct Outcome {
  int exitCode = -1;  // -1 when it did not exit by itself
  std::string out;
  std::string err;
};
// Runs the norvarc program with `args`, in `workDir` when one is given; its
// stderr passes through the file `errFile`.
Outcome RunNorvarc(const std::vector<std::string>& args, const std::string& errFile,
                   const std::string& workDir = "");

// 15 March 2004 10:20:30.
inline constexpr std::int32_t kSampleDate = 0x306F528F;

}  // namespace norv::testing
