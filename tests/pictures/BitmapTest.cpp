// Cutting a box out of a picture and drawing one picture over another.
#include <gtest/gtest.h>

#include "pictures/Bitmap.h"

namespace norv {
namespace {

TEST(Bitmap, CropFillsWhatTheSourceDoesNotCover) {
  Bitmap source(4, 3, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) source.At(x, y) = std::uint32_t(10 * y + x);
  constexpr std::uint32_t F = kWhite;
  EXPECT_EQ(Crop(source, 1, 1, 2, 2, F).pixels, (std::vector<std::uint32_t>{11, 12, 21, 22}));
  EXPECT_EQ(Crop(source, -1, 2, 3, 2, F).pixels, (std::vector<std::uint32_t>{F, 20, 21, F, F, F}));
  EXPECT_EQ(Crop(source, 3, -1, 2, 2, F).pixels, (std::vector<std::uint32_t>{F, F, 3, F}));
  EXPECT_EQ(Crop(source, 10, 10, 1, 1, F).pixels, std::vector<std::uint32_t>{F});
}

TEST(Bitmap, DrawOverKeepsBelowWhereTransparent) {
  Bitmap above(2, 1, kTransparent);
  above.At(1, 0) = Opaque(9, 9, 9);
  EXPECT_EQ(DrawOver(Bitmap(2, 1, Opaque(1, 2, 3)), above).pixels,
            (std::vector<std::uint32_t>{Opaque(1, 2, 3), Opaque(9, 9, 9)}));
  EXPECT_THROW(DrawOver(above, Bitmap(1, 1, 0)), std::invalid_argument);
}

}  // namespace
}  // namespace norv
