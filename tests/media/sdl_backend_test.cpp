#include "media/sdl/sdl_backend.h"

#include <cmath>
#include <limits>

#include "media/display.h"
#include "support/headless_test.h"

using namespace media;

// The real back end cuts a mask-mode copy of each picture at the texel alpha that passes at the
// drawing alpha; the headless one multiplies per pixel. Every texel alpha at every drawing alpha
// must come out the same.
TEST_F(HeadlessTest, SdlMaskCutPassesExactlyTheTexelsTheHeadlessAlphaTestPasses) {
  Graphics(1024, 768, 32, 60, 0);
  TPixmap ramp(256, 1, PixelFormat::rgba8);  // white, texel alpha = x
  for (int x = 0; x < 256; ++x) {
    std::uint8_t* px = ramp.row(0) + 4 * x;
    px[0] = px[1] = px[2] = 255;
    px[3] = static_cast<std::uint8_t>(x);
  }
  TextureSlot slot;
  for (int alpha = 0; alpha < 256; ++alpha) {
    SetAlpha((static_cast<float>(alpha) + 0.5f) / 255.0f);
    detail::draw_textured_quad(ramp, slot, 0, 0, 0, 256, 1, 0, static_cast<float>(alpha));
    ASSERT_EQ(hb.draws_since_present().back().argb >> 24, static_cast<std::uint32_t>(alpha));
    const int cut = detail::mask_alpha_threshold(alpha);
    for (int texel = 0; texel < 256; ++texel) {
      const bool drawn = hb.back_buffer_pixel(texel, alpha) == 0xFFFFFFFFu;
      ASSERT_EQ(drawn, texel >= cut) << "texel alpha " << texel << " at drawing alpha " << alpha;
    }
  }
}

TEST(SdlShapeTest, OnlyShapesWithEveryCoordinateFiniteGoToSdl) {
  const float huge = std::numeric_limits<float>::max();
  Vertex quad[4] = {{-huge, huge, 0, 0}, {1e30f, -3.5f, 1, 0}, {0, 0, 1, 1}, {-0.0f, 7, 0, 1}};
  EXPECT_TRUE(detail::all_finite(quad, 4));
  for (float bad : {INFINITY, -INFINITY, NAN}) {
    for (int corner = 0; corner < 4; ++corner) {
      Vertex spoilt[4] = {quad[0], quad[1], quad[2], quad[3]};
      spoilt[corner].x = bad;
      EXPECT_FALSE(detail::all_finite(spoilt, 4)) << bad << " as x of corner " << corner;
      spoilt[corner].x = quad[corner].x;
      spoilt[corner].y = bad;
      EXPECT_FALSE(detail::all_finite(spoilt, 4)) << bad << " as y of corner " << corner;
    }
  }
  // Only the corners of the shape count.
  Vertex fan[5] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0}, {NAN, 0, 0, 0}};
  EXPECT_TRUE(detail::all_finite(fan, 4));
  EXPECT_FALSE(detail::all_finite(fan, 5));
}
