#include "tests/robustness/AllocationWatch.h"

#include <malloc.h>

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
std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};
std::atomic<std::size_t> start{0};
std::atomic<std::size_t> total{0};
}  // namespace

AllocationWatch::AllocationWatch() {
  largest = 0;
  start = live.load();
  peak = start.load();
  total = 0;
}
AllocationWatch::~AllocationWatch() = default;
std::size_t AllocationWatch::Largest() const {
  return largest;
}
std::size_t AllocationWatch::PeakGrowth() const {
  return peak > start ? peak - start : 0;
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
void NoteHeld(void* p) {
  const std::size_t now = live += malloc_usable_size(p);
  std::size_t seen = peak.load(std::memory_order_relaxed);
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}
void NoteReleased(void* p) {
  if (p != nullptr) live -= malloc_usable_size(p);
}
#endif

}  // namespace norv::robustness

#if NORV_WATCH_ALLOCATIONS
void* operator new(std::size_t size) {
  norv::robustness::NoteAllocation(size);
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    norv::robustness::NoteHeld(p);
    return p;
  }
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  norv::robustness::NoteReleased(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  norv::robustness::NoteReleased(p);
  std::free(p);
}
#endif
