#include "pictures/JpegDecoder.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// After <cstdio>: jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "pictures/PictureError.h"
#include "pictures/PictureLimits.h"

namespace norv {
namespace {

// libjpeg reports fatal errors by calling error_exit, which must not return.
// We jump back to the decoding function (only libjpeg's C frames lie between)
// and turn the message into an exception there.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void FailWithMessage(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings (level -1) mean corrupt data; trace messages (level >= 0) are ignored.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) FailWithMessage(info);
}

// Owns the decompressor; destroying it frees everything libjpeg allocated.
struct Decompressor {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  bool created = false;
  ~Decompressor() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

// Runs libjpeg over `data` and fills `out`. Returns false with errors.message
// set when libjpeg gave up. No object with a destructor is created between the
// setjmp and the end of this function.
bool Decode(Decompressor& d, std::span<const std::uint8_t> data, Bitmap& out,
            std::vector<JSAMPLE>& row) {
  d.info.err = jpeg_std_error(&d.errors.base);
  d.errors.base.error_exit = FailWithMessage;
  d.errors.base.emit_message = OnMessage;
  if (setjmp(d.errors.jump)) return false;

  jpeg_create_decompress(&d.info);
  d.created = true;
  jpeg_mem_src(&d.info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&d.info, TRUE);
  const long long pixels = static_cast<long long>(d.info.image_width) * d.info.image_height;
  if (pixels > kMaxPicturePixels) {
    std::snprintf(d.errors.message, sizeof d.errors.message, "JPEG picture too large (%ux%u)",
                  d.info.image_width, d.info.image_height);
    return false;
  }
  d.info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d.info);
  if (d.info.output_components != 3) {
    std::snprintf(d.errors.message, sizeof d.errors.message, "JPEG colour conversion failed");
    return false;
  }
  const int width = static_cast<int>(d.info.output_width);
  const int height = static_cast<int>(d.info.output_height);
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  row.resize(static_cast<std::size_t>(width) * 3);
  while (d.info.output_scanline < d.info.output_height) {
    const int y = static_cast<int>(d.info.output_scanline);
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&d.info, rows, 1);
    for (int x = 0; x < width; ++x) {
      const JSAMPLE* p = &row[static_cast<std::size_t>(x) * 3];
      out.At(x, y) = Opaque(p[0], p[1], p[2]);
    }
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

}  // namespace

Bitmap DecodeJpeg(std::span<const std::uint8_t> data) {
  if (data.empty()) throw PictureError("JPEG picture is empty");
  Decompressor d;
  Bitmap out;
  std::vector<JSAMPLE> row;
  if (!Decode(d, data, out, row)) {
    throw PictureError(std::string("Cannot decode JPEG picture: ") + d.errors.message);
  }
  return out;
}

}  // namespace norv
