#pragma once
// Paces the early write-out of a file that must reach the disk before it is
// moved in place. Left to itself, the system keeps a large file's bytes in
// memory until the final flush, which then writes all of them while the
// program waits; asking for the write-out every few megabytes lets the disk
// work while the program is still decoding, and leaves the final flush only
// the tail.
#include <cstddef>
#include <cstdint>

namespace norv {

class WriteBehind {
 public:
  static constexpr std::uint64_t kStride = std::uint64_t{8} << 20;

  // Counts `count` more bytes written; true when another stride is complete
  // and its write-out should start.
  bool Wrote(std::size_t count) {
    pending_ += count;
    if (pending_ < kStride) return false;
    pending_ = 0;
    return true;
  }

 private:
  std::uint64_t pending_ = 0;
};

}  // namespace norv
