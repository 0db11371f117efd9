#pragma once
// Measures the heap that one fuzz execution holds at its peak, through the
// sanitizer allocator's hooks, so a target can fail an input that needs more
// than a bound. libFuzzer's own RSS limit counts the whole process (its
// tables, the corpus, the sanitizer's shadow), which grows over a long run.
#include <cstddef>

namespace norv::fuzz {

inline constexpr std::size_t kExecutionMemoryLimit = std::size_t{64} << 20;

// Starts measuring from the heap as it is now.
void BeginExecutionMemory();
// The most bytes held above that start since BeginExecutionMemory.
std::size_t PeakExecutionMemory();
// Aborts with a message when the peak passed kExecutionMemoryLimit.
void CheckExecutionMemory();

// Measures one execution: begins when made, checks when it goes.
class ExecutionMemoryGuard {
 public:
  ExecutionMemoryGuard() { BeginExecutionMemory(); }
  ~ExecutionMemoryGuard() { CheckExecutionMemory(); }
  ExecutionMemoryGuard(const ExecutionMemoryGuard&) = delete;
  ExecutionMemoryGuard& operator=(const ExecutionMemoryGuard&) = delete;
};

}  // namespace norv::fuzz
