#pragma once
// Encodes batches of blocks on several threads. Blocks are independent (a
// fresh compressor each), and each result lands at its input's index, so
// an archive made with any number of threads has the same bytes.
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "backup/BlockEncoder.h"

namespace norv {

class ParallelEncoder {
 public:
  // `jobs` threads encode, the caller's included; 1 or less: the caller's
  // alone. More than kMaxJobs counts as kMaxJobs.
  static constexpr int kMaxJobs = 64;
  explicit ParallelEncoder(int jobs);
  ~ParallelEncoder();
  ParallelEncoder(const ParallelEncoder&) = delete;
  ParallelEncoder& operator=(const ParallelEncoder&) = delete;

  int Jobs() const { return static_cast<int>(helpers_.size()) + 1; }
  // Encodes every input; results[i] is EncodeBlock(inputs[i], level). An
  // exception from any block is raised here once the batch is over.
  std::vector<EncodedBlock> Encode(const std::vector<std::string_view>& inputs,
                                   TCompressionLevel level);

 private:
  void Help();
  // Encodes blocks of the current batch until none is left.
  void Work(std::unique_lock<std::mutex>& lock);

  std::vector<std::thread> helpers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  // The batch being encoded; guarded by mutex_.
  const std::vector<std::string_view>* inputs_ = nullptr;
  std::vector<EncodedBlock>* results_ = nullptr;
  TCompressionLevel level_ = clMax;
  std::size_t next_ = 0;
  std::size_t busy_ = 0;
  std::exception_ptr failure_;
  bool stopping_ = false;
};

}  // namespace norv
