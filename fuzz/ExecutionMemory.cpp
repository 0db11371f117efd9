#include "fuzz/ExecutionMemory.h"

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace norv::fuzz {

namespace {

std::atomic<long long> live{0};
std::atomic<long long> start{0};
std::atomic<long long> peak{0};

void OnMalloc(const volatile void*, std::size_t size) {
  const long long now = live.fetch_add(static_cast<long long>(size)) + static_cast<long long>(size);
  long long seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}

void OnFree(const volatile void* p) {
  live.fetch_sub(static_cast<long long>(__sanitizer_get_allocated_size(p)));
}

bool InstallHooks() {
  __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
  return true;
}

}  // namespace

void BeginExecutionMemory() {
  static const bool installed = InstallHooks();
  (void)installed;
  start = live.load();
  peak = start.load();
}

std::size_t PeakExecutionMemory() {
  const long long above = peak.load() - start.load();
  return above > 0 ? static_cast<std::size_t>(above) : 0;
}

void CheckExecutionMemory() {
  const std::size_t used = PeakExecutionMemory();
  if (used > kExecutionMemoryLimit) {
    std::fprintf(stderr, "one execution held %zu bytes of heap at its peak (limit %zu)\n", used,
                 kExecutionMemoryLimit);
    std::abort();
  }
}

}  // namespace norv::fuzz
