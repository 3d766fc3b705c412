// Pixel-exact collision between placed images, under the current rotation and scale.

#include <cstdint>

#include "media/display.h"
#include "media/image.h"
#include "support/headless_test.h"
#include "support/picture_writer.h"

namespace {

using media::Image;
using media::ImagesCollide;
using media::PixelFormat;

class CollideTest : public HeadlessTest {
 protected:
  // An RGBA picture whose alpha is `alpha_of(x, y)`.
  template <class AlphaOf>
  static Image picture(int w, int h, AlphaOf alpha_of) {
    media::TPixmap p(w, h, PixelFormat::rgba8);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.row(y)[4 * x + 3] = static_cast<std::uint8_t>(alpha_of(x, y));
    return media::image_from_pixmap(std::move(p), 0);
  }

  static Image solid(int w, int h) {
    return picture(w, h, [](int, int) { return 255; });
  }

  // 20 x 10: the left half solid, the right half see-through.
  static Image left_half() {
    return picture(20, 10, [](int x, int) { return x < 10 ? 255 : 0; });
  }

  Image dot = solid(1, 1);
};

TEST_F(CollideTest, BoxesThatOnlyTouchDoNotCollide) {
  Image a = solid(10, 10), b = solid(10, 10);
  EXPECT_EQ(ImagesCollide(a, 0, 0, 0, b, 10, 0, 0), 0);
  EXPECT_EQ(ImagesCollide(a, 0, 0, 0, b, 9, 0, 0), 1);
  EXPECT_EQ(ImagesCollide(a, 0, 0, 0, b, 0, 10, 0), 0);
  EXPECT_EQ(ImagesCollide(a, 0, 0, 0, b, -9, -9, 0), 1);
  EXPECT_EQ(ImagesCollide(a, 0, 0, 0, b, 30, 30, 0), 0);
}

TEST_F(CollideTest, AlphaOf128IsSolidAnd127IsNot) {
  Image faint = picture(4, 4, [](int, int) { return 127; });
  Image firm = picture(4, 4, [](int, int) { return 128; });
  EXPECT_EQ(ImagesCollide(dot, 1, 1, 0, faint, 0, 0, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 1, 1, 0, firm, 0, 0, 0), 1);
  EXPECT_EQ(ImagesCollide(faint, 0, 0, 0, firm, 0, 0, 0), 0);
}

TEST_F(CollideTest, OnlyPixelsSolidInBothCount) {
  Image a = left_half();
  Image b = picture(20, 10, [](int x, int) { return x >= 10 ? 255 : 0; });
  EXPECT_EQ(ImagesCollide(a, 0, 0, 0, b, 0, 0, 0), 0);
  EXPECT_EQ(ImagesCollide(a, 0, 0, 0, b, -1, 0, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 9, 5, 0, a, 0, 0, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 10, 5, 0, a, 0, 0, 0), 0);
}

TEST_F(CollideTest, MidHandleMovesTheImageAsDrawingDoes) {
  Image item = solid(64, 48);
  media::MidHandleImage(item);
  EXPECT_EQ(ImagesCollide(dot, 68, 76, 0, item, 100, 100, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 131, 123, 0, item, 100, 100, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 67, 100, 0, item, 100, 100, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 132, 100, 0, item, 100, 100, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 100, 75, 0, item, 100, 100, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 100, 124, 0, item, 100, 100, 0), 0);
}

TEST_F(CollideTest, ScaleAppliesToBothImages) {
  Image a = solid(10, 10), b = solid(10, 10);
  media::SetScale(2, 2);
  EXPECT_EQ(ImagesCollide(a, 0, 0, 0, b, 19, 0, 0), 1);
  EXPECT_EQ(ImagesCollide(a, 0, 0, 0, b, 20, 0, 0), 0);
  Image half = left_half();
  // Scaled twice, the solid half covers x 0..19 and the dot covers two pixels.
  EXPECT_EQ(ImagesCollide(dot, 18, 5, 0, half, 0, 0, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 20, 5, 0, half, 0, 0, 0), 0);
}

TEST_F(CollideTest, RotationTurnsTheMaskClockwise) {
  Image half = left_half();
  media::SetRotation(90);
  // Turned about (100, 100): the solid half lies at x 90..99, y 100..109 and the see-through
  // half below it; the turned dot covers the pixel to the left of its position.
  EXPECT_EQ(ImagesCollide(dot, 96, 105, 0, half, 100, 100, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 96, 115, 0, half, 100, 100, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 100, 105, 0, half, 100, 100, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 101, 105, 0, half, 100, 100, 0), 0);
}

TEST_F(CollideTest, NegativeScaleMirrorsTheMask) {
  Image half = left_half();
  media::SetScale(-1, 1);
  // Mirrored about x = 100: the solid half lies at x 90..99, the see-through half at 80..89.
  EXPECT_EQ(ImagesCollide(dot, 96, 5, 0, half, 100, 0, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 86, 5, 0, half, 100, 0, 0), 0);
  // Far from the origin the mirrored corner order must still be recognised.
  EXPECT_EQ(ImagesCollide(dot, 300096, 200005, 0, half, 300100, 200000, 0), 1);
  media::SetScale(1, -1);
  EXPECT_EQ(ImagesCollide(dot, 105, 96, 0, half, 100, 100, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 115, 96, 0, half, 100, 100, 0), 0);
}

// Along an edge the span ends are a running sum, one step per scanline, not worked out afresh
// for each scanline: the float rounding of the sum decides the pixel right at the edge.
TEST_F(CollideTest, SpanEndsFollowTheRunningSumAlongAnEdge) {
  media::SetRotation(4.5f);
  media::SetScale(2.33f, 1.85f);
  // On scanline 724 the picture's right end has summed to 994.0011, so pixel 993 (the dot's
  // first) is inside; afresh it would be 993.9996 and the two would not meet.
  EXPECT_EQ(ImagesCollide(dot, 994, 724, 0, solid(36, 43), 915, 660, 0), 1);

  media::SetRotation(294.2f);
  media::SetScale(3.46f, 1.99f);
  // On scanline 282 the right end has summed to 513.9997, leaving out pixel 513 where the dot
  // starts; afresh it would be 514.0019 and take it in.
  EXPECT_EQ(ImagesCollide(dot, 513, 285, 0, solid(50, 22), 449, 321, 0), 0);
}

TEST_F(CollideTest, MaskedPicturesAreSeeThroughWhereTheMaskWas) {
  // A white frame around one red pixel; loaded with white as the mask colour.
  test_support::Bytes rgb = test_support::solid_pixels(3, 3, {255, 255, 255});
  rgb[4 * 3 + 0] = 200, rgb[4 * 3 + 1] = 0, rgb[4 * 3 + 2] = 0;
  scratch.write("ring.png", test_support::encode_png(3, 3, 3, rgb));
  media::SetMaskColor(255, 255, 255);
  Image masked = media::LoadImage("ring.png", media::image_masked);
  Image plain = media::LoadImage("ring.png", 0);
  ASSERT_TRUE(masked && plain);
  EXPECT_EQ(ImagesCollide(dot, 1, 1, 0, masked, 0, 0, 0), 1);
  EXPECT_EQ(ImagesCollide(dot, 0, 0, 0, masked, 0, 0, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 2, 2, 0, masked, 0, 0, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 0, 0, 0, plain, 0, 0, 0), 1);
}

TEST_F(CollideTest, NoneImagesAndMissingFramesNeverCollide) {
  EXPECT_EQ(ImagesCollide(nullptr, 0, 0, 0, dot, 0, 0, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 0, 0, 0, nullptr, 0, 0, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 0, 0, 1, dot, 0, 0, 0), 0);
  EXPECT_EQ(ImagesCollide(dot, 0, 0, 0, dot, 0, 0, 0), 1);
}

}  // namespace
