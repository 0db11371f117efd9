#pragma once
// Walks the blocks of an archive as fast as reading allows: large reads into
// one buffer, fields taken straight from it, no checks beyond what walking
// needs. The decode-limit program measures inflating on top of it.
#include <cstddef>
#include <functional>
#include <string>

namespace norv::bench {

struct Block {
  const unsigned char* data;
  std::size_t size;
  bool compressed;  // false: a stored block
};

// Calls `onBlock` for every block of every entry data part, in archive order
// across all volumes (later volumes replace the extension of the first).
// Throws std::runtime_error when the archive is malformed or unreadable.
void ForEachBlock(const std::string& firstVolume, const std::function<void(const Block&)>& onBlock);

}  // namespace norv::bench
