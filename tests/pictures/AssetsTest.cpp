// The committed artwork has the structure the window relies on and decodes
// to the expected colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "pictures/Animation.h"
#include "pictures/GifReader.h"
#include "pictures/JpegDecoder.h"

namespace norv {
namespace {

std::vector<std::uint8_t> ReadAsset(const std::string& name) {
  std::ifstream in(NORV_ASSETS_DIR "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

::testing::AssertionResult Near(std::uint32_t pixel, std::uint32_t rgb, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int got = (pixel >> shift) & 0xFF, want = (rgb >> shift) & 0xFF;
    if (std::abs(got - want) > tolerance || (pixel >> 24) != 0xFF) {
      return ::testing::AssertionFailure()
             << std::hex << "pixel 0x" << pixel << ", expected ~0x" << rgb;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(Assets, BackgroundIsABaselineJfifOfThreeEightBitComponents) {
  const auto jpeg = ReadAsset("background.jpg");
  ASSERT_GT(jpeg.size(), 20u);
  EXPECT_EQ(std::string(jpeg.begin() + 6, jpeg.begin() + 11), std::string("JFIF\0", 5));
  // Walk the markers up to the first scan: one frame header, and it is SOF0.
  std::vector<int> frames;
  for (std::size_t at = 2; at + 10 <= jpeg.size() && jpeg[at + 1] != 0xDA;
       at += 2 + std::size_t((jpeg[at + 2] << 8) | jpeg[at + 3])) {
    const int marker = jpeg[at + 1];
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC) {
      frames.push_back(marker);
      EXPECT_EQ(jpeg[at + 4], 8) << "bits per sample";
      EXPECT_EQ(jpeg[at + 9], 3) << "components";
    }
  }
  EXPECT_EQ(frames, std::vector<int>{0xC0});

  const Bitmap b = DecodeJpeg(jpeg);
  ASSERT_EQ(b.width, 752);
  ASSERT_EQ(b.height, 500);
  EXPECT_TRUE(Near(b.At(300, 120), 0xE6F0F8, 6)) << "light area under the text box";
  EXPECT_TRUE(Near(b.At(20, 20), 0xF3F8FC, 6));
  EXPECT_TRUE(Near(b.At(630, 320), 0x1D4B77, 8)) << "dark band";
  EXPECT_TRUE(Near(b.At(300, 400), 0x0E2947, 8)) << "below the visible part";
}

TEST(Assets, LogoStructure) {
  const GifContents gif = ReadGif(ReadAsset("logo.gif"));
  EXPECT_EQ(gif.width, 177);
  EXPECT_EQ(gif.height, 73);
  EXPECT_EQ(gif.globalPalette.size(), 256u);
  EXPECT_EQ(gif.backgroundIndex, 0);
  EXPECT_EQ(gif.loopCount, 0);
  ASSERT_EQ(gif.images.size(), 4u);
  for (std::size_t i = 0; i < gif.images.size(); ++i) {
    const GifImage& image = gif.images[i];
    EXPECT_EQ(std::vector<int>({image.left, image.top, image.width, image.height}),
              std::vector<int>({0, 0, 177, 73}));
    EXPECT_FALSE(image.interlaced);
    EXPECT_EQ(image.hasLocalPalette, i > 0) << "frame " << i;
    EXPECT_EQ(image.palette.size(), 256u);
    EXPECT_EQ(image.delay, 50);
    EXPECT_EQ(image.disposal, GifDisposal::kBackground);
    EXPECT_EQ(image.transparentIndex, -1);
  }
  const auto bytes = ReadAsset("logo.gif");
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
  EXPECT_EQ(bytes[10], 0xF7) << "global table of 256 entries, 8-bit colour resolution";
}

TEST(Assets, LogoAnimates) {
  const Animation a = DecodeGif(ReadAsset("logo.gif"));
  ASSERT_EQ(a.frames.size(), 4u);
  for (std::size_t f = 0; f < 4; ++f) {
    const Bitmap& c = a.frames[f].canvas;
    EXPECT_EQ(a.frames[f].duration, std::chrono::milliseconds(600));
    EXPECT_TRUE(std::all_of(c.pixels.begin(), c.pixels.end(), [](auto p) {
      return p >> 24 == 0xFF;
    })) << "the logo covers its box";
    EXPECT_TRUE(Near(c.At(63, 30), 0x123A63, 6)) << "letter N, frame " << f;
    // One bar of the mark is gold in frames 0-2; all are blue in frame 3.
    for (int bar = 0; bar < 3; ++bar) {
      EXPECT_TRUE(Near(c.At(16 + 12 * bar, 55), int(f) == bar ? 0xE3AE45 : 0x2A64A0, 8))
          << "bar " << bar << ", frame " << f;
    }
  }
}

TEST(Assets, IconIsThirtyTwoSquareSixteenColours) {
  const auto ico = ReadAsset("app.ico");
  ASSERT_EQ(ico.size(), 6u + 16 + 40 + 16 * 4 + 32 * 16 + 32 * 4);  // one 4-bit image with its mask
  EXPECT_EQ(std::vector<int>(ico.begin() + 2, ico.begin() + 14),
            std::vector<int>({1, 0, 1, 0, 32, 32, 16, 0, 1, 0, 4, 0}));
}

}  // namespace
}  // namespace norv
