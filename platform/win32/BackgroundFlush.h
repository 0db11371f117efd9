#pragma once
// Flushes an open file on a helper thread when asked, without waiting for
// it: Windows has no call that only starts a write-out, so a thread waits on
// FlushFileBuffers while the owner goes on writing. Requests that arrive
// during a flush make one more flush after it. The owner destroys this
// before it closes the handle; the destructor waits for a running flush.
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace norv::win32 {

class BackgroundFlush {
 public:
  // Whether a helper thread's flush is worth its cost on this system. On
  // Windows the cache manager starts writing a file's changed pages out
  // within a second or so by itself, and a flush from a second thread would
  // only hold up the writes on the same handle (the system takes one
  // request at a time on a handle opened for synchronous use). Under Wine a
  // file's bytes sit in the host's page cache, which may keep them until the
  // final flush; only there does the helper let the disk work meanwhile.
  static bool Worthwhile();

  explicit BackgroundFlush(HANDLE file) : file_(file) {}
  ~BackgroundFlush();
  BackgroundFlush(const BackgroundFlush&) = delete;
  BackgroundFlush& operator=(const BackgroundFlush&) = delete;

  // Starts the thread on the first request; without one (no resources for
  // it) the request is dropped, as the flush before the move still comes.
  void Request();

 private:
  void Serve();

  const HANDLE file_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool requested_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace norv::win32
