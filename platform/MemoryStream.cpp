#include "platform/MemoryStream.h"

#include <algorithm>
#include <cstring>

#include "platform/Errors.h"

namespace norv {

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
  auto size = static_cast<std::int64_t>(data_.size());
  if (pos_ >= size) return 0;
  auto n = static_cast<std::size_t>(std::min<std::int64_t>(size - pos_, std::int64_t(count)));
  std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += static_cast<std::int64_t>(n);
  return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
  auto end = static_cast<std::size_t>(pos_) + count;
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + pos_, buffer, count);
  pos_ = static_cast<std::int64_t>(end);
  return count;
}

std::int64_t MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = origin == SeekOrigin::Begin     ? 0
                      : origin == SeekOrigin::Current ? pos_
                                                      : Size();
  std::int64_t next = base + offset;
  if (next < 0) throw EReadError("Stream seek error");
  pos_ = next;
  return pos_;
}

}  // namespace norv
