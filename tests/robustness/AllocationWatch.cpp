#include "tests/robustness/AllocationWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define NORV_WATCH_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NORV_WATCH_ALLOCATIONS 0
#endif
#endif
#ifndef NORV_WATCH_ALLOCATIONS
#define NORV_WATCH_ALLOCATIONS 1
#endif

namespace norv::robustness {
namespace {
// Replacing operator new is process-wide by nature; the watch only reads
// and resets this counter.
std::atomic<std::size_t> largest{0};
std::atomic<std::size_t> total{0};
}  // namespace

AllocationWatch::AllocationWatch() {
  largest = 0;
  total = 0;
}
AllocationWatch::~AllocationWatch() = default;
std::size_t AllocationWatch::Largest() const {
  return largest;
}
std::size_t AllocationWatch::Total() const {
  return total;
}
bool AllocationWatch::Active() {
  return NORV_WATCH_ALLOCATIONS != 0;
}

#if NORV_WATCH_ALLOCATIONS
void NoteAllocation(std::size_t size) {
  total.fetch_add(size, std::memory_order_relaxed);
  std::size_t seen = largest.load(std::memory_order_relaxed);
  while (size > seen && !largest.compare_exchange_weak(seen, size)) {
  }
}
#endif

}  // namespace norv::robustness

#if NORV_WATCH_ALLOCATIONS
void* operator new(std::size_t size) {
  norv::robustness::NoteAllocation(size);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#endif
