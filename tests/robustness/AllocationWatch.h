#pragma once
// Notes the largest single heap allocation made while a watch is alive, so
// tests can tell a run that sized a buffer from a hostile length field, and
// the bytes allocated in all, for work that must stay linear in its input.
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
  std::size_t Total() const;
  // False in sanitizer builds, where allocations are not watched.
  static bool Active();
};

}  // namespace norv::robustness
