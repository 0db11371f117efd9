#include "backup/InputBuffer.h"

#include <cstring>
#include <stdexcept>

#include "platform/Errors.h"

namespace norv {

InputBuffer::InputBuffer() : buffer_(new unsigned char[kCapacity]) {}

InputBuffer::~InputBuffer() {
  try {
    Attach(nullptr);
  } catch (...) {
    // The stream is already failing; nothing more to give back.
  }
}

void InputBuffer::Attach(Stream* stream) {
  if (stream_ != nullptr && Buffered() > 0) {
    // Give back what was read ahead but not consumed.
    Stream* old = stream_;
    const auto unread = static_cast<std::int64_t>(Buffered());
    stream_ = nullptr;
    begin_ = end_ = 0;
    old->Seek(-unread, SeekOrigin::Current);
  }
  stream_ = stream;
  begin_ = end_ = 0;
  consumed_ = 0;
  streamLeft_.reset();
}

const unsigned char* InputBuffer::Take(std::size_t count) {
  if (Buffered() < count) Fill(count);
  const unsigned char* bytes = buffer_.get() + begin_;
  begin_ += count;
  consumed_ += static_cast<std::int64_t>(count);
  return bytes;
}

std::int32_t InputBuffer::ReadInt32() {
  const unsigned char* b = Take(4);
  return static_cast<std::int32_t>(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) |
                                   (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24));
}

void InputBuffer::Read(void* out, std::size_t count) {
  const std::size_t buffered = count < Buffered() ? count : Buffered();
  std::memcpy(out, buffer_.get() + begin_, buffered);
  begin_ += buffered;
  if (count > buffered) {
    const std::size_t direct = count - buffered;
    try {
      stream_->ReadExactly(static_cast<unsigned char*>(out) + buffered, direct);
    } catch (...) {
      streamLeft_.reset();
      throw;
    }
    Advanced(static_cast<std::int64_t>(direct));
  }
  consumed_ += static_cast<std::int64_t>(count);
}

void InputBuffer::Skip(std::int64_t count) {
  consumed_ += count;
  if (count <= static_cast<std::int64_t>(Buffered())) {
    begin_ += static_cast<std::size_t>(count);
    return;
  }
  const auto beyond = count - static_cast<std::int64_t>(Buffered());
  begin_ = end_ = 0;
  stream_->Seek(beyond, SeekOrigin::Current);
  Advanced(beyond);
}

void InputBuffer::RequireLeft(std::int64_t count) {
  if (!HasLeft(count)) throw EReadError();
}

bool InputBuffer::HasLeft(std::int64_t count) {
  return count <= static_cast<std::int64_t>(Buffered()) || count <= Left();
}

std::int64_t InputBuffer::Left() {
  if (!streamLeft_) streamLeft_ = stream_->Size() - stream_->Position();
  return static_cast<std::int64_t>(Buffered()) + *streamLeft_;
}

void InputBuffer::Fill(std::size_t count) {
  if (count > kCapacity) throw std::logic_error("InputBuffer: read larger than the buffer");
  if (begin_ + count > kCapacity) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, Buffered());
    end_ -= begin_;
    begin_ = 0;
  }
  while (Buffered() < count) {
    std::size_t got = 0;
    try {
      got = stream_->Read(buffer_.get() + end_, readAhead_ ? kCapacity - end_ : count - Buffered());
    } catch (const EReadError&) {
      // The read ahead reached a fault; a direct read of only the bytes
      // needed may not, and fails by itself if it does.
      streamLeft_.reset();
      got = stream_->Read(buffer_.get() + end_, count - Buffered());
    }
    if (got == 0) throw EReadError();
    end_ += got;
    Advanced(static_cast<std::int64_t>(got));
  }
}

}  // namespace norv
