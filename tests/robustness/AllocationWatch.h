#pragma once
// Notes the largest single heap allocation made while a watch is alive, and
// the most heap held at once beyond what was held when it started, so tests
// can tell a run that sized a buffer from a hostile length field.
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
  // False in sanitizer builds, where allocations are not watched.
  static bool Active();
};

}  // namespace norv::robustness
