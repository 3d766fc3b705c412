#include "media/sdl/sdl_backend.h"

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
