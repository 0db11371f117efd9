#pragma once
// Deterministic benchmark data: the same bytes on every machine and every
// run, made from a seeded generator (no downloads). Three kinds of content
// mixed in the files: log-like text, structured binary records, and random
// bytes that do not compress (stored blocks).
#include <cstdint>
#include <string>
#include <vector>

namespace norv::bench {

struct DataSet {
  std::string name;       // "large", "small", ...
  std::string directory;  // holds one directory named `name` with the files
  std::uint64_t bytes = 0;
  std::uint64_t files = 0;
};

// Set (a): 256 MiB in three large files of mixed compressible content.
DataSet MakeLargeFiles(const std::string& root);
// Set (b): 4,000 files of 1-64 KiB in 40 directories, about 64 MiB.
DataSet MakeSmallFiles(const std::string& root);
// One file of `mebibytes` MiB of mixed content, for memory comparisons.
DataSet MakeOneFile(const std::string& root, const std::string& name, int mebibytes);

// `size` bytes of content of one kind, the same for the same `seed`.
enum class Content { Text, Records, Random, Mixed };
std::string MakeContent(Content kind, std::uint64_t seed, std::size_t size);

}  // namespace norv::bench
