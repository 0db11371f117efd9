// Writes the seed corpora of the fuzz targets, made by the project's own
// writer and spelled byte by byte, so no binary seeds live in the tree.
//   norv_fuzz_seeds OUTDIR   -> OUTDIR/archive/*, OUTDIR/inflate/*, OUTDIR/cmdline/*
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "backup/ArchiveWriter.h"
#include "backup/BlockEncoder.h"
#include "fuzz/FuzzCase.h"
#include "platform/testing/MemoryFileSystem.h"
#include "tests/backup/ArchiveBytes.h"
#include "tests/robustness/ReferenceArchive.h"

using namespace norv;
using namespace norv::robustness;
using namespace norv::testing;
namespace fsys = std::filesystem;

namespace {

// A one-volume archive of `files` made by the writer.
std::string WriterArchive(const std::vector<ReferenceFile>& files, bool fileList) {
  MemoryFileSystem fs;
  ArchiveOptions options;
  options.fileList = fileList;
  ArchiveWriter writer(fs, "W:\\ONE.001", options);
  int n = 0;
  for (const auto& f : files) {
    const std::string source = "S:\\" + std::to_string(n++);
    fs.AddFile(source, f.bytes);
    writer.AddFile(f.storedName, source);
  }
  writer.Finish();
  return fs.FileBytes("W:\\ONE.001");
}

void Write(const fsys::path& dir, const std::string& name, const std::string& bytes) {
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

void ArchiveSeeds(const fsys::path& dir) {
  const std::string yes(4, '\xFF');
  auto add = [&](const std::string& name, std::uint8_t options, std::vector<std::string> volumes,
                 std::string tape) {
    fuzz::FuzzCase c;
    c.options = options;
    c.tape = std::move(tape);
    c.volumes = std::move(volumes);
    Write(dir, name, fuzz::EncodeFuzzCase(c));
  };
  const auto reference = MakeReferenceArchive();
  add("reference-all", fuzz::kFullPath, reference.volumes, yes);
  add("reference-flat", 0, reference.volumes, yes);
  add("reference-dest", fuzz::kFullPath | fuzz::kDestDir, reference.volumes, yes);
  add("reference-newer", fuzz::kFullPath | 2, reference.volumes, yes);
  add("reference-prompt", fuzz::kFullPath | fuzz::kBuiltInPrompt, reference.volumes, yes);
  add("reference-mixed", fuzz::kFullPath | fuzz::kDestDir, reference.volumes, "\x5A\xF7\x3C\xEE");
  add("reference-stream", fuzz::kFullPath | fuzz::kStreamMode, {reference.volumes[0]}, yes);

  const std::string single = WriterArchive({{"C:\\A\\LEIA.TXT", ReferenceText(3000, 7)},
                                            {"C:\\A\\B\\RUIDO.BIN", ReferenceNoise(300, 8)},
                                            {"C:\\A\\VAZIO", ""}},
                                           true);
  add("single", fuzz::kFullPath, {single}, yes);
  add("single-stream", fuzz::kFullPath | fuzz::kStreamMode | fuzz::kDestDir, {single}, yes);
  add("single-empty-destination", fuzz::kFullPath | fuzz::kDestEmpty, {single}, yes);

  add("smallest", 0, {Header(0) + kEnd}, yes);
  const std::string abc = Header(3) + Entry("C:\\A\\B.TXT") + Stored("abc") + kEnd + kEnd;
  add("abc", fuzz::kFullPath, {abc}, yes);
  add("skip-record", fuzz::kFullPath,
      {Header(4) + Entry("C:\\X.TXT") + Stored("ab") + kEnd + I32(-1) + Entry("C:\\Y.TXT") +
       Stored("cd") + kEnd + kEnd},
      yes);
  add("two-volumes", fuzz::kFullPath,
      {Header(6) + Entry("C:\\A\\B.TXT") + Stored("abc") + kEnd + Name("NEXT:DISK002"),
       kSig + Stored("def") + kEnd + kEnd},
      yes);
  add("disk-010", fuzz::kFullPath,
      {Header(1) + Entry("C:\\A.TXT") + Stored("a") + kEnd + Name("NEXT:DISK010"),
       kSig + kEnd + kEnd},
      yes);
  add("bad-signature", fuzz::kFullPath,
      {Header(1) + Name("C:\\A.TXT") + I32(0) + "EC2A" + Stored("a") + kEnd + kEnd}, yes);
  add("hostile-names", fuzz::kFullPath | fuzz::kDestDir,
      {Header(3) + Entry("C:\\..\\X.TXT") + Stored("a") + kEnd + Entry("C:\\A\\B:S") + Stored("b") +
       kEnd + Entry("C:\\\\Y") + Stored("c") + kEnd + kEnd},
      yes);
}

void InflateSeeds(const fsys::path& dir) {
  const std::string text = CompressBlock(ReferenceText(16384, 5), 9);
  Write(dir, "text", text);
  Write(dir, "noise", CompressBlock(ReferenceNoise(2000, 6), 6));
  Write(dir, "too-long", CompressBlock(std::string(20000, '\0'), 9));
  Write(dir, "empty", CompressBlock("", 9));
  std::string badSum = CompressBlock("abcabcabc", 9);
  badSum.back() = static_cast<char>(badSum.back() ^ 1);
  Write(dir, "bad-checksum", badSum);
  Write(dir, "truncated", text.substr(0, text.size() / 2));
  Write(dir, "stored-deflate", CompressBlock(ReferenceNoise(300, 9), 0));
  Write(dir, "trailing", CompressBlock("abc", 9) + "xyz");
  // The crafted modes of fuzz_inflate: the deflate data of a sound block
  // (0x80), and a made dynamic block (0xC0) from some bytes of text.
  Write(dir, "raw-deflate", "\x80" + text.substr(2, text.size() - 6));
  std::string fields = "\xC0\x02\x01\x0F";
  for (int i = 0; i < 19; ++i) fields.push_back(i < 13 ? '\x04' : '\x05');
  Write(dir, "dynamic-fields", fields + text.substr(20, 200));
}

void CommandLineSeeds(const fsys::path& dir) {
  const std::vector<std::string> lines = {
      "NorvInstall.exe",
      "NorvInstall.exe OVERWRITE PacRH.001 NorvRH C:\\NORV\\RH.EXE",
      "\"C:\\Program Files\\NorvInstall.exe\" overwrite \"\" PacLiv.001",
      "x \"C:\\Dir With Blanks\\\" next \"unterminated rest of line",
      "x a\"b c\"d\te\x01"
      "f \"\"\"\" g",
      "x 1 2 3 4 5 6 7 8 9",
  };
  int n = 0;
  for (const auto& line : lines) Write(dir, "line" + std::to_string(n++), line);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: norv_fuzz_seeds OUTDIR\n");
    return 2;
  }
  const fsys::path out = argv[1];
  fsys::create_directories(out / "archive");
  fsys::create_directories(out / "cmdline");
  fsys::create_directories(out / "inflate");
  ArchiveSeeds(out / "archive");
  InflateSeeds(out / "inflate");
  CommandLineSeeds(out / "cmdline");
  return 0;
}
