// JPEG decoding of damaged, forged and unsupported files. The committed
// background picture (AssetsTest) covers a good one.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "pictures/JpegDecoder.h"
#include "pictures/PictureError.h"

namespace norv {
namespace {

std::vector<std::uint8_t> Background() {
  std::ifstream in(NORV_ASSETS_DIR "/background.jpg", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Failure(std::span<const std::uint8_t> bytes) {
  try {
    DecodeJpeg(bytes);
  } catch (const PictureError& e) {
    return e.what();
  }
  return "no exception";
}

TEST(JpegDecoder, DamagedOrForgedPicturesThrow) {
  std::vector<std::uint8_t> jpeg = Background();
  ASSERT_GT(jpeg.size(), 1000u);
  EXPECT_EQ(Failure({}), "JPEG picture is empty");
  EXPECT_NE(Failure(std::vector<std::uint8_t>(100, 0x42)).find("Cannot decode JPEG"),
            std::string::npos);
  // Cut short anywhere: libjpeg's "premature end" warning counts as an error.
  for (std::size_t n : {std::size_t{2}, jpeg.size() / 2, jpeg.size() - 2}) {
    EXPECT_NE(Failure(std::span(jpeg.data(), n)), "no exception") << n;
  }
  // A frame header claiming 61440 x 61440 pixels is refused before allocating.
  const std::uint8_t marker[] = {0xFF, 0xC0};
  const auto sof = std::search(jpeg.begin(), jpeg.end(), std::begin(marker), std::end(marker));
  ASSERT_NE(sof, jpeg.end());
  sof[5] = sof[7] = 0xF0;
  sof[6] = sof[8] = 0x00;
  EXPECT_NE(Failure(jpeg).find("too large"), std::string::npos) << Failure(jpeg);
  // So is one just over what the window could ever show (1025 x 1024).
  sof[5] = 0x04, sof[6] = 0x00, sof[7] = 0x04, sof[8] = 0x01;
  EXPECT_NE(Failure(jpeg).find("too large (1025x1024)"), std::string::npos) << Failure(jpeg);
}

TEST(JpegDecoder, DamagedFilesNeverCrash) {
  std::mt19937 random(752500);
  const std::vector<std::uint8_t> good = Background();
  for (int round = 0; round < 150; ++round) {
    std::vector<std::uint8_t> bytes = good;
    for (int e = 0; e < 3; ++e)
      bytes[random() % 2000] = std::uint8_t(random());  // headers and first blocks
    try {
      const Bitmap b = DecodeJpeg(bytes);
      EXPECT_EQ(b.pixels.size(), std::size_t(b.width) * std::size_t(b.height));
    } catch (const PictureError&) {
    }
  }
}

}  // namespace
}  // namespace norv
