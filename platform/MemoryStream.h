#pragma once
// A growable in-memory stream; used for ":STREAM" sources and in tests.
#include <string>

#include "platform/Stream.h"

namespace norv {

class MemoryStream : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::string bytes) : data_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

  const std::string& Bytes() const { return data_; }

 private:
  std::string data_;
  std::int64_t pos_ = 0;
};

}  // namespace norv
