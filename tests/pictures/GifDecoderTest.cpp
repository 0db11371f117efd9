// Composition of GIF frames: colour tables, disposal, transparency, clipping,
// interlacing, timing and the loop count; damaged files must throw.
#include <gtest/gtest.h>

#include <random>

#include "GifBuilder.h"
#include "pictures/Animation.h"
#include "pictures/PictureError.h"

namespace norv {
namespace {

using testing::BuildGif;
using testing::FramePlan;
using testing::GifPlan;
using testing::Solid;
using Pixels = std::vector<std::uint32_t>;

constexpr std::uint32_t R = Opaque(255, 0, 0), G = Opaque(0, 255, 0), B = Opaque(0, 0, 255),
                        W = Opaque(255, 255, 255), K = Opaque(0, 0, 0), T = kTransparent;
const Pixels kRgbw = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

FramePlan With(FramePlan f, std::vector<std::uint8_t> indices) {
  f.indices = std::move(indices);
  return f;
}

std::vector<Pixels> Canvases(const GifPlan& plan) {
  std::vector<Pixels> out;
  for (const AnimationFrame& f : DecodeGif(BuildGif(plan)).frames) out.push_back(f.canvas.pixels);
  return out;
}

TEST(GifDecoder, DrawsWithTheTableInForceClippedToTheScreen) {
  FramePlan local = With(Solid(0, 0, 3, 1, 0), {1, 0, 200});
  local.localPalette = {0x123456, 0xABCDEF};
  // Partly off the screen: only the top-left pixel of the 3 x 2 image shows.
  const FramePlan off = With(Solid(2, 1, 3, 2, 0), {2, 1, 1, 1, 1, 1});
  EXPECT_EQ(
      Canvases({3, 2, kRgbw, -1, {Solid(0, 0, 3, 1, 1), local, off}}),
      (std::vector<Pixels>{{G, G, G, T, T, T},
                           {Opaque(0xAB, 0xCD, 0xEF), Opaque(0x12, 0x34, 0x56), K, T, T, T},
                           {Opaque(0xAB, 0xCD, 0xEF), Opaque(0x12, 0x34, 0x56), K, T, T, B}}));
  EXPECT_EQ(Canvases({1, 1, kRgbw, -1, {Solid(500, 9, 4, 4, 0)}}), std::vector<Pixels>{{T}});
}

// A red 3 x 1 screen; the second image paints pixel 1 green with the disposal
// under test, the third paints pixel 2 blue: its canvas shows the disposal.
TEST(GifDecoder, DisposalMethods) {
  const struct {
    int disposal;
    std::uint32_t middle;
  } cases[] = {{0, G}, {1, G}, {2, T}, {3, R}, {5, G}};
  for (const auto& c : cases) {
    FramePlan green = Solid(1, 0, 1, 1, 1);
    green.disposal = c.disposal;
    const auto canvases =
        Canvases({3, 1, kRgbw, -1, {Solid(0, 0, 3, 1, 0), green, Solid(2, 0, 1, 1, 2)}});
    EXPECT_EQ(canvases[1], (Pixels{R, G, R})) << c.disposal;
    EXPECT_EQ(canvases[2], (Pixels{R, c.middle, B})) << "disposal " << c.disposal;
  }
  // Restoring the first image leaves the empty, transparent canvas.
  FramePlan first = Solid(0, 0, 2, 1, 0);
  first.disposal = 3;
  EXPECT_EQ(Canvases({2, 1, kRgbw, -1, {first, Solid(1, 0, 1, 1, 3)}})[1], (Pixels{T, W}));
}

TEST(GifDecoder, TransparentColourKeepsWhatWasBelow) {
  FramePlan first = With(Solid(0, 0, 3, 1, 0), {0, 3, 0});
  first.transparent = 3;  // never painted: stays transparent
  FramePlan second = With(Solid(0, 0, 3, 1, 0), {1, 1, 2});
  second.transparent = 1;
  EXPECT_EQ(Canvases({3, 1, kRgbw, -1, {first, second}}),
            (std::vector<Pixels>{{R, T, R}, {R, T, B}}));
}

TEST(GifDecoder, InterlacedRowsLandInPlace) {
  FramePlan f = Solid(0, 0, 1, 11, 0);
  Pixels grey, expected;
  for (std::uint8_t y = 0; y < 16; ++y) grey.push_back(y * 0x111111u);
  for (std::uint8_t y = 0; y < 11; ++y) {
    f.indices[y] = y;
    expected.push_back(Opaque(y * 0x11, y * 0x11, y * 0x11));
  }
  f.interlaced = true;
  EXPECT_EQ(Canvases({1, 11, grey, -1, {f}})[0], expected);
}

TEST(GifDecoder, TimingAndLoopCount) {
  FramePlan timed = Solid(0, 0, 1, 1, 0);
  timed.delay = 7;
  timed.transparent = 0;
  FramePlan plain = Solid(0, 0, 1, 1, 0);
  plain.control = false;                         // neither delay nor transparency carries over
  const FramePlan empty = Solid(0, 0, 0, 0, 0);  // draws nothing
  const Animation a = DecodeGif(BuildGif({1, 1, kRgbw, 3, {timed, plain, empty}}));
  ASSERT_EQ(a.frames.size(), 3u);
  EXPECT_EQ(a.frames[0].duration, std::chrono::milliseconds(84));
  EXPECT_EQ(a.frames[1].duration, std::chrono::milliseconds(0));
  EXPECT_EQ(a.frames[2].canvas.pixels, Pixels{R});
  EXPECT_EQ(a.loopCount, 3);
  EXPECT_EQ(DecodeGif(BuildGif({1, 1, kRgbw, 65535, {plain}})).loopCount, 65535);
  EXPECT_EQ(DecodeGif(BuildGif({1, 1, kRgbw, -1, {plain}})).loopCount, std::nullopt);
}

std::vector<std::uint8_t> SmallGif() {
  FramePlan second = With(Solid(1, 1, 2, 2, 0), {1, 2, 3, 0});
  second.localPalette = kRgbw;
  second.disposal = 3;
  second.transparent = 2;
  return BuildGif({4, 3, kRgbw, 0, {Solid(0, 0, 4, 3, 0), second, Solid(0, 0, 4, 3, 3)}});
}

TEST(GifDecoder, MalformedFilesThrow) {
  const std::vector<std::uint8_t> good = SmallGif();
  ASSERT_NO_THROW(DecodeGif(good));
  std::vector<std::uint8_t> badControl = BuildGif({1, 1, kRgbw, -1, {Solid(0, 0, 1, 1, 0)}});
  badControl[13 + 12 + 2] = 3;  // graphic control block of 3 bytes instead of 4
  std::vector<std::uint8_t> badRecord = good;
  badRecord.back() = 0x99;  // an unknown record where the trailer should be
  const std::vector<std::vector<std::uint8_t>> cases = {
      {},
      {'G', 'I', 'F', '8', '9', 'a'},
      {'P', 'N', 'G', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B},
      BuildGif({0, 0, kRgbw, -1, {Solid(0, 0, 1, 1, 0)}}),          // empty screen
      BuildGif({65535, 65535, kRgbw, -1, {Solid(0, 0, 1, 1, 0)}}),  // huge screen
      BuildGif({2, 2, kRgbw, -1, {}}),                              // no images
      BuildGif({1, 1, {}, -1, {Solid(0, 0, 1, 1, 0)}}),             // no colour table
      badControl,
      badRecord};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_THROW(DecodeGif(cases[i]), PictureError) << "case " << i;
  }
  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_THROW(DecodeGif(std::span(good.data(), n)), PictureError) << "cut at " << n;
  }
}

// A picture decodes to at most a few MiB: a 4096 x 4096 screen with four
// tiny frames would compose to 256 MiB.
TEST(GifDecoder, PicturesLargerThanTheWindowCanShowAreRefused) {
  const FramePlan dot = Solid(0, 0, 1, 1, 0);
  EXPECT_NO_THROW(DecodeGif(BuildGif({1024, 1024, kRgbw, 0, {dot, dot}})));
  const std::vector<GifPlan> refused = {
      {4096, 4096, kRgbw, 0, {dot, dot, dot, dot}},     // the screen alone
      {1025, 1024, kRgbw, -1, {dot}},                   // just over
      {1000, 1000, kRgbw, 0, {dot, dot, dot}},          // the frames together
      {1, 1, kRgbw, -1, {Solid(0, 0, 1100, 1000, 0)}},  // one image
      {800,
       800,
       kRgbw,
       0,
       {Solid(0, 0, 1000, 1000, 0), Solid(0, 0, 1000, 1000, 0),
        Solid(0, 0, 1000, 1000, 0)}},  // the images' indices together
  };
  for (std::size_t i = 0; i < refused.size(); ++i) {
    EXPECT_THROW(DecodeGif(BuildGif(refused[i])), PictureError) << "case " << i;
  }
}

// Random damage ends in a picture or in PictureError, never in a crash (the
// sanitizer build checks the memory accesses on the way).
TEST(GifDecoder, DamagedFilesNeverCrash) {
  std::mt19937 random(20261208);
  const std::vector<std::uint8_t> good = SmallGif();
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> bytes = good;
    for (int e = random() % 4; e >= 0; --e) bytes[random() % bytes.size()] = std::uint8_t(random());
    try {
      DecodeGif(bytes);
    } catch (const PictureError&) {
    }
  }
}

}  // namespace
}  // namespace norv
