#include "platform/win32/BackgroundFlush.h"

#include <system_error>

namespace norv::win32 {

bool BackgroundFlush::Worthwhile() {
  // Wine's ntdll exports its version; Windows' does not.
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

BackgroundFlush::~BackgroundFlush() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void BackgroundFlush::Request() {
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread([this] { Serve(); });
    } catch (const std::system_error&) {
      return;
    }
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    requested_ = true;
  }
  wake_.notify_one();
}

void BackgroundFlush::Serve() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return requested_ || stopping_; });
    if (stopping_) return;
    requested_ = false;
    lock.unlock();
    // A failure only costs time: the flush before the move reports nothing
    // either, and the move itself is what must succeed.
    FlushFileBuffers(file_);
    lock.lock();
  }
}

}  // namespace norv::win32
