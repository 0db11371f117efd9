#include "bench/ArchiveBlocks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace norv::bench {

namespace {

// A read-only file consumed front to back through one large buffer.
class Reader {
 public:
  explicit Reader(const std::string& path) : buffer_(kBufferSize) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
  }
  ~Reader() { ::close(fd_); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // The next `count` bytes, valid until the next call.
  const unsigned char* Take(std::size_t count) {
    if (end_ - begin_ < count) Fill(count);
    const unsigned char* p = buffer_.data() + begin_;
    begin_ += count;
    return p;
  }
  std::int32_t Int32() {
    const unsigned char* b = Take(4);
    return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                                     std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
  }

 private:
  static constexpr std::size_t kBufferSize = 1 << 20;

  void Fill(std::size_t count) {
    if (count > buffer_.size()) throw std::runtime_error("field larger than the read buffer");
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    while (end_ < count) {
      ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
      if (got <= 0) throw std::runtime_error("archive ends early");
      end_ += static_cast<std::size_t>(got);
    }
  }

  int fd_;
  std::vector<unsigned char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
};

void DataPart(Reader& in, const std::function<void(const Block&)>& onBlock) {
  if (std::memcmp(in.Take(4), "EC2", 4) != 0) throw std::runtime_error("bad signature");
  for (;;) {
    const std::int32_t length = in.Int32();
    if (length == 0) return;
    const std::size_t size = length < 0 ? -static_cast<std::int64_t>(length) : length;
    onBlock({in.Take(size), size, length > 0});
  }
}

std::string NextVolume(const std::string& current, const std::string& digits) {
  const auto dot = current.find_last_of('.');
  const auto slash = current.find_last_of('/');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? current.substr(0, dot) : current) + "." + digits;
}

}  // namespace

void ForEachBlock(const std::string& firstVolume,
                  const std::function<void(const Block&)>& onBlock) {
  std::string volume = firstVolume;
  auto in = std::make_unique<Reader>(volume);
  in->Take(static_cast<std::size_t>(in->Int32()));  // header text
  in->Take(8);                                      // total bytes, header value
  for (;;) {
    const std::int32_t length = in->Int32();
    if (length == 0) return;
    if (length < 0) continue;
    const unsigned char* name = in->Take(static_cast<std::size_t>(length));
    if (length >= 12 && std::memcmp(name, "NEXT:DISK", 9) == 0) {
      volume = NextVolume(volume, std::string(reinterpret_cast<const char*>(name) + 9, 3));
      in = std::make_unique<Reader>(volume);
    } else {
      in->Take(4);  // file date
    }
    DataPart(*in, onBlock);
  }
}

}  // namespace norv::bench
