#include "backup/ParallelEncoder.h"

namespace norv {

ParallelEncoder::ParallelEncoder(int jobs) {
  for (int i = 1; i < jobs && i < kMaxJobs; ++i) helpers_.emplace_back([this] { Help(); });
}

ParallelEncoder::~ParallelEncoder() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& helper : helpers_) helper.join();
}

std::vector<EncodedBlock> ParallelEncoder::Encode(const std::vector<std::string_view>& inputs,
                                                  TCompressionLevel level) {
  std::vector<EncodedBlock> results(inputs.size());
  std::unique_lock<std::mutex> lock(mutex_);
  inputs_ = &inputs;
  results_ = &results;
  level_ = level;
  next_ = 0;
  failure_ = nullptr;
  wake_.notify_all();
  Work(lock);
  done_.wait(lock, [this] { return busy_ == 0; });
  inputs_ = nullptr;
  results_ = nullptr;
  if (failure_) std::rethrow_exception(failure_);
  return results;
}

void ParallelEncoder::Help() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || (inputs_ && next_ < inputs_->size()); });
    if (stopping_) return;
    Work(lock);
  }
}

void ParallelEncoder::Work(std::unique_lock<std::mutex>& lock) {
  ++busy_;
  while (next_ < inputs_->size() && !failure_) {
    const std::size_t i = next_++;
    const std::string_view input = (*inputs_)[i];
    EncodedBlock& result = (*results_)[i];
    const TCompressionLevel level = level_;
    lock.unlock();
    std::exception_ptr failure;
    try {
      result = EncodeBlock(input, level);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    if (failure && !failure_) failure_ = failure;
  }
  if (--busy_ == 0) done_.notify_all();
}

}  // namespace norv
