#include "platform/BackgroundWriteStream.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace norv {

std::unique_ptr<unsigned char[]> ChunkStore::Take() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (kept_.empty()) return nullptr;
  auto bytes = std::move(kept_.back());
  kept_.pop_back();
  return bytes;
}

void ChunkStore::Give(std::unique_ptr<unsigned char[]> bytes) {
  // As many as one stream holds at most: the queue, the one being written
  // and the one being filled.
  constexpr std::size_t kKept = BackgroundWriteStream::kDepth + 2;
  const std::lock_guard<std::mutex> lock(mutex_);
  if (bytes && kept_.size() < kKept) kept_.push_back(std::move(bytes));
}

BackgroundWriteStream::BackgroundWriteStream(std::unique_ptr<FileStream> inner,
                                             std::shared_ptr<ChunkStore> store)
    : FileStream(inner->FileName()), inner_(std::move(inner)), store_(std::move(store)) {}

BackgroundWriteStream::~BackgroundWriteStream() {
  try {
    Settle();
  } catch (...) {
    // Nothing is left to report to: the bytes are lost, as a close would lose them.
  }
  if (thread_.joinable()) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    work_.notify_one();
    thread_.join();
  }
  if (!store_) return;
  store_->Give(std::move(filling_.bytes));
  for (Chunk& chunk : spare_) store_->Give(std::move(chunk.bytes));
}

std::size_t BackgroundWriteStream::Read(void* buffer, std::size_t count) {
  Settle();
  ThrowIfFailed();
  return inner_->Read(buffer, count);
}

std::size_t BackgroundWriteStream::Write(const void* buffer, std::size_t count) {
  ThrowIfFailed();
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  std::size_t left = count;
  while (left > 0) {
    if (!filling_.bytes) TakeChunk();
    const std::size_t taken = std::min(left, kChunk - filling_.size);
    std::memcpy(filling_.bytes.get() + filling_.size, bytes, taken);
    filling_.size += taken;
    bytes += taken;
    left -= taken;
    if (filling_.size == kChunk) HandOver();
  }
  return count;
}

unsigned char* BackgroundWriteStream::WriteSpace(std::size_t count) {
  if (count > kChunk) return nullptr;
  ThrowIfFailed();
  if (filling_.bytes && kChunk - filling_.size < count) HandOver();
  if (!filling_.bytes) TakeChunk();
  return filling_.bytes.get() + filling_.size;
}

void BackgroundWriteStream::CommitWrite(std::size_t count) {
  filling_.size += count;
  if (filling_.size == kChunk) HandOver();
}

std::int64_t BackgroundWriteStream::Seek(std::int64_t offset, SeekOrigin origin) {
  Settle();
  ThrowIfFailed();
  return inner_->Seek(offset, origin);
}

std::int64_t BackgroundWriteStream::Size() {
  Settle();
  ThrowIfFailed();
  return inner_->Size();
}

void BackgroundWriteStream::SetDosDate(std::int32_t dosDate) {
  // The date comes after the last byte, or a late write would change it again.
  Settle();
  inner_->SetDosDate(dosDate);
}

void BackgroundWriteStream::Sync() {
  FinishWrites();
  inner_->Sync();
}

void BackgroundWriteStream::FinishWrites() {
  Settle();
  ThrowIfFailed();
  inner_->FinishWrites();
}

void BackgroundWriteStream::TakeChunk() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!spare_.empty()) {
      filling_ = std::move(spare_.back());
      spare_.pop_back();
      return;
    }
  }
  if (store_) filling_.bytes = store_->Take();
  if (!filling_.bytes) filling_.bytes = std::make_unique_for_overwrite<unsigned char[]>(kChunk);
  filling_.size = 0;
}

void BackgroundWriteStream::HandOver() {
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread([this] { Serve(); });
    } catch (const std::system_error&) {
      WriteHere();  // no thread to be had: the owner writes, as a plain stream would
      return;
    }
  }
  {
    std::unique_lock<std::mutex> lock(mutex_);
    room_.wait(lock, [this] { return queue_.size() < kDepth; });
    if (failure_) std::rethrow_exception(failure_);
    queue_.push_back(std::move(filling_));
    filling_ = Chunk{};
    // A helper that is writing goes on to the next chunk by itself; one that
    // waits is woken for kWakeAt chunks at a time (by Settle for fewer), as
    // each wake costs a server round trip under Wine.
    if (queue_.size() < kWakeAt) return;
  }
  work_.notify_one();
}

void BackgroundWriteStream::Settle() {
  work_.notify_one();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    room_.wait(lock, [this] { return queue_.empty(); });
    if (failure_) {
      filling_.size = 0;
      return;
    }
  }
  if (filling_.size == 0) return;
  try {
    WriteHere();
  } catch (...) {
    // Kept in failure_ for the caller that asks.
  }
}

void BackgroundWriteStream::WriteHere() {
  try {
    inner_->WriteExactly(filling_.bytes.get(), filling_.size);
  } catch (...) {
    const std::lock_guard<std::mutex> lock(mutex_);
    failure_ = std::current_exception();
    filling_.size = 0;
    throw;
  }
  filling_.size = 0;
}

void BackgroundWriteStream::ThrowIfFailed() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (failure_) std::rethrow_exception(failure_);
}

void BackgroundWriteStream::Serve() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_.wait(lock, [this] { return !queue_.empty() || stopping_; });
    if (queue_.empty()) return;
    // The owner only appends meanwhile, which leaves the front in place.
    Chunk& chunk = queue_.front();
    if (!failure_) {
      lock.unlock();
      std::exception_ptr failure;
      try {
        inner_->WriteExactly(chunk.bytes.get(), chunk.size);
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      if (failure) failure_ = failure;
    }
    chunk.size = 0;
    spare_.push_back(std::move(chunk));
    queue_.pop_front();
    room_.notify_one();
  }
}

}  // namespace norv
