#pragma once
// Notes the largest single heap allocation made while a watch is alive, the
// most heap held at once beyond what was held when it started, and the bytes
// allocated in all, so tests can tell a run that sized a buffer from a
// hostile length field, and check work that must stay linear in its input.
// Native builds only: sanitizer builds keep their own allocator, and there
// the watch reports 0.
#include <cstddef>

namespace norv::robustness {

class AllocationWatch {
 public:
  AllocationWatch();
  ~AllocationWatch();
  AllocationWatch(const AllocationWatch&) = delete;
  AllocationWatch& operator=(const AllocationWatch&) = delete;

  std::size_t Largest() const;
  // Peak bytes held by operator new beyond those held at the start.
  std::size_t PeakGrowth() const;
  // Bytes allocated in all.
  std::size_t Total() const;
  // False in sanitizer builds, where allocations are not watched.
  static bool Active();
};

}  // namespace norv::robustness
