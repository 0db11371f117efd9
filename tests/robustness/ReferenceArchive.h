#pragma once
// A small reference archive made by the project's writer: three volumes,
// a file list, compressed, stored and empty entries, and an entry whose
// blocks continue in the next volume. Robustness tests damage it; the fuzz
// seed generator starts from it.
#include <cstdint>
#include <string>
#include <vector>

namespace norv::robustness {

struct ReferenceFile {
  std::string storedName;
  std::string bytes;
};

struct ReferenceArchive {
  std::vector<std::string> volumes;  // the bytes of .001, .002, ...
  std::vector<ReferenceFile> files;  // in archive order
};

// Made afresh on each call; the same bytes every time.
ReferenceArchive MakeReferenceArchive();

// Deterministic bytes: text that compresses well, noise that does not.
std::string ReferenceText(std::size_t size, unsigned seed);
std::string ReferenceNoise(std::size_t size, unsigned seed);

}  // namespace norv::robustness
