#include "platform/Stream.h"

#include "platform/Errors.h"

namespace norv {

void Stream::ReadExactly(void* buffer, std::size_t count) {
  auto* p = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    std::size_t got = Read(p, count);
    if (got == 0) throw EReadError();
    p += got;
    count -= got;
  }
}

void Stream::WriteExactly(const void* buffer, std::size_t count) {
  // After a short write the rest is offered again, so that the refusal
  // (a full disk) is raised by the stream with the system's reason.
  const auto* p = static_cast<const unsigned char*>(buffer);
  while (count > 0) {
    const std::size_t put = Write(p, count);
    if (put == 0) throw EWriteError();
    p += put;
    count -= put;
  }
}

std::int32_t ReadInt32(Stream& s) {
  unsigned char b[4];
  s.ReadExactly(b, 4);
  std::uint32_t v = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
                    (std::uint32_t(b[3]) << 24);
  return static_cast<std::int32_t>(v);
}

void WriteInt32(Stream& s, std::int32_t value) {
  auto v = static_cast<std::uint32_t>(value);
  unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  s.WriteExactly(b, 4);
}

}  // namespace norv
