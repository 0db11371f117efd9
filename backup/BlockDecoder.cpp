#include "backup/BlockDecoder.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "backup/ArchiveFormat.h"
#include "backup/DeflateHeaderScan.h"

#ifdef NORV_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace norv {

namespace {

// Room for what zlib allocates for one inflate stream (its state and its
// 32 KiB window), handed out front to back and taken back whole once every
// piece is freed. Should zlib ever ask for more, the heap serves it, so the
// arena never turns into a failure that the heap would not have caused.
class ZlibArena {
 public:
  static voidpf Allocate(voidpf opaque, uInt items, uInt size) {
    return static_cast<ZlibArena*>(opaque)->Take(static_cast<std::size_t>(items) * size);
  }
  static void Free(voidpf opaque, voidpf address) {
    static_cast<ZlibArena*>(opaque)->Give(address);
  }

 private:
  static constexpr std::size_t kBytes = 64 * 1024;
  static constexpr std::size_t kAlign = alignof(std::max_align_t);

  void* Take(std::size_t bytes) {
    const std::size_t rounded = (bytes + kAlign - 1) / kAlign * kAlign;
    if (rounded > kBytes - used_) return std::malloc(bytes);
    void* p = memory_ + used_;
    used_ += rounded;
    ++live_;
    return p;
  }
  void Give(void* p) {
    auto* byte = static_cast<unsigned char*>(p);
    if (byte < memory_ || byte >= memory_ + kBytes) {
      std::free(p);
    } else if (--live_ == 0) {
      used_ = 0;
    }
  }

  alignas(std::max_align_t) unsigned char memory_[kBytes];
  std::size_t used_ = 0;
  int live_ = 0;
};

InflateResult InflateWithZlib(const unsigned char* input, std::size_t inputSize,
                              unsigned char* output, std::size_t outputSize, ZlibArena* arena) {
  InflateResult result;
  z_stream zs;
  std::memset(&zs, 0, sizeof zs);
  if (arena != nullptr) {
    zs.zalloc = ZlibArena::Allocate;
    zs.zfree = ZlibArena::Free;
    zs.opaque = arena;
  }
  // The archives were made against zlib 1.1.3; newer zlib accepts that
  // version text because it only compares the major number.
  if (inflateInit_(&zs, archive::kZlibVersion, static_cast<int>(sizeof(z_stream))) < 0) {
    result.failed = true;
    return result;
  }
  zs.next_in = const_cast<Bytef*>(input);
  zs.avail_in = static_cast<uInt>(inputSize);
  zs.next_out = output;
  zs.avail_out = static_cast<uInt>(outputSize);
  const int status = inflate(&zs, Z_NO_FLUSH);
  result.produced = static_cast<std::size_t>(zs.total_out);
  result.failed = status < 0;
  result.ended = status == Z_STREAM_END;
  if (result.ended) result.trailing = zs.avail_in;
  inflateEnd(&zs);
  return result;
}

}  // namespace

InflateResult InflateBlock(const unsigned char* input, std::size_t inputSize, unsigned char* output,
                           std::size_t outputSize) {
  return InflateWithZlib(input, inputSize, output, outputSize, nullptr);
}

struct BlockDecoder::State {
  ZlibArena arena;
#ifdef NORV_HAVE_LIBDEFLATE
  libdeflate_decompressor* fast = nullptr;
  ~State() {
    if (fast != nullptr) libdeflate_free_decompressor(fast);
  }
#endif
};

BlockDecoder::BlockDecoder(Path path) : state_(std::make_unique<State>()) {
#ifdef NORV_HAVE_LIBDEFLATE
  // Without memory for it the zlib path serves every block.
  if (path == Path::Fast) state_->fast = libdeflate_alloc_decompressor();
#else
  (void)path;
#endif
}

BlockDecoder::~BlockDecoder() = default;

bool BlockDecoder::FastPathBuiltIn() {
#ifdef NORV_HAVE_LIBDEFLATE
  return true;
#else
  return false;
#endif
}

bool BlockDecoder::InflateWhole(const unsigned char* input, std::size_t inputSize,
                                unsigned char* output, std::size_t outputSize,
                                std::size_t& produced) {
#ifdef NORV_HAVE_LIBDEFLATE
  std::size_t consumed = 0;
  return state_->fast != nullptr && DecodersAgreeOn(input, inputSize) &&
         libdeflate_zlib_decompress_ex(state_->fast, input, inputSize, output, outputSize,
                                       &consumed, &produced) == LIBDEFLATE_SUCCESS &&
         consumed == inputSize;
#else
  (void)input, (void)inputSize, (void)output, (void)outputSize, (void)produced;
  return false;
#endif
}

InflateResult BlockDecoder::Inflate(const unsigned char* input, std::size_t inputSize,
                                    unsigned char* output, std::size_t outputSize) {
#ifdef NORV_HAVE_LIBDEFLATE
  // The fast decoder only sees streams on which it gives zlib's verdict.
  if (state_->fast != nullptr && DecodersAgreeOn(input, inputSize)) {
    // Only a complete stream with a matching Adler-32 that fits the output
    // counts; the bytes after its trailer are ignored, as zlib ignores them.
    std::size_t consumed = 0;
    std::size_t produced = 0;
    if (libdeflate_zlib_decompress_ex(state_->fast, input, inputSize, output, outputSize, &consumed,
                                      &produced) == LIBDEFLATE_SUCCESS) {
      return {produced, false, true, inputSize - consumed};
    }
  }
#endif
  return InflateWithZlib(input, inputSize, output, outputSize, &state_->arena);
}

}  // namespace norv
