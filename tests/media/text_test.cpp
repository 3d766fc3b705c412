// Text: the built-in font's placement and pixels, TrueType glyphs (smooth border, Cyrillic,
// blank glyphs, scale), size fallback on a bitmap-only face, and fonts that cannot be loaded.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "media/detail/text_internal.h"
#include "media/display.h"
#include "media/headless.h"
#include "media/text.h"
#include "support/headless_test.h"

namespace {

using media::DrawRecord;

const std::string game_font = std::string(HEDGEROW_SOURCE_DIR) + "/assets/fonts/arial.ttf";

// A face made only of one 10-pixel strike of 1-bit bitmaps, with one glyph: 'A'.
const std::string bitmap_only_font = R"(STARTFONT 2.1
FONT -hedgerow-test-medium-r-normal--10-100-75-75-c-60-iso10646-1
SIZE 10 75 75
FONTBOUNDINGBOX 6 10 0 -2
STARTPROPERTIES 5
PIXEL_SIZE 10
FONT_ASCENT 8
FONT_DESCENT 2
CHARSET_REGISTRY "ISO10646"
CHARSET_ENCODING "1"
ENDPROPERTIES
CHARS 1
STARTCHAR A
ENCODING 65
SWIDTH 600 0
DWIDTH 6 0
BBX 6 8 0 0
BITMAP
30
48
84
84
FC
84
84
84
ENDCHAR
ENDFONT
)";

struct Box {
  float x0, y0, x1, y1;
};

Box box_of(const DrawRecord& draw) {
  Box box{draw.vertices[0].x, draw.vertices[0].y, draw.vertices[0].x, draw.vertices[0].y};
  for (const media::Vertex& v : draw.vertices) {
    box.x0 = std::min(box.x0, v.x);
    box.y0 = std::min(box.y0, v.y);
    box.x1 = std::max(box.x1, v.x);
    box.y1 = std::max(box.y1, v.y);
  }
  return box;
}

void expect_box(const DrawRecord& draw, float x0, float y0, float x1, float y1) {
  const Box box = box_of(draw);
  EXPECT_FLOAT_EQ(box.x0, x0);
  EXPECT_FLOAT_EQ(box.y0, y0);
  EXPECT_FLOAT_EQ(box.x1, x1);
  EXPECT_FLOAT_EQ(box.y1, y1);
}

class TextTest : public HeadlessTest {
 protected:
  void SetUp() override { media::Graphics(1024, 768, 0, 0, 0); }

  const std::vector<DrawRecord>& draw(const std::string& text, float x, float y) {
    media::DrawText(text, x, y);
    return hb.draws_since_present();
  }

  // The quads `text` draws, with the frame cleared first.
  std::vector<DrawRecord> quads_of(const std::string& text, float x = 0, float y = 0) {
    media::Flip(0);
    media::Cls();
    return draw(text, x, y);
  }
};

TEST_F(TextTest, BuiltinFontPlacesEightBySixteenGlyphs) {
  const auto& draws = draw("AB", 10, 20);
  ASSERT_EQ(draws.size(), 2u);
  expect_box(draws[0], 10, 20, 18, 36);
  expect_box(draws[1], 18, 20, 26, 36);
  EXPECT_EQ(draws[0].pixmap->format, media::PixelFormat::alpha8);

  // Every pixel of the two cells is the bitmap's, least significant bit leftmost.
  media::Flip(0);
  for (int glyph = 0; glyph < 2; ++glyph) {
    const auto index = static_cast<std::size_t>('A' + glyph - media::detail::builtin_first_code);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 8; ++x) {
        const bool set = (media::detail::builtin_font_bitmap[y][index] >> x) & 1;
        EXPECT_EQ(hb.pixel(10 + 8 * glyph + x, 20 + y), set ? 0xFFFFFFFFu : 0xFF000000u)
            << "glyph " << glyph << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(TextTest, BuiltinFontSkipsWhatItLacksAndOnlyAdvancesOverSpace) {
  EXPECT_TRUE(quads_of("").empty());
  EXPECT_TRUE(quads_of("Привет").empty());

  const auto mixed = quads_of("AЖB", 10, 20);
  ASSERT_EQ(mixed.size(), 2u);
  expect_box(mixed[1], 18, 20, 26, 36);

  const auto spaced = quads_of("A B", 10, 20);
  ASSERT_EQ(spaced.size(), 2u);
  expect_box(spaced[1], 26, 20, 34, 36);
}

TEST_F(TextTest, ScaleEnlargesGlyphsAndTheirSpacing) {
  media::SetScale(2, 2);
  const auto& draws = draw("AB", 10, 20);
  ASSERT_EQ(draws.size(), 2u);
  expect_box(draws[0], 10, 20, 26, 52);
  expect_box(draws[1], 26, 20, 42, 52);
}

TEST_F(TextTest, RotationTurnsTheLineAboutItsStart) {
  media::SetRotation(90);
  const auto& draws = draw("AB", 100, 100);
  ASSERT_EQ(draws.size(), 2u);
  // The pen moves down the screen; each glyph lies on its side to the left of the pen.
  const Box second = box_of(draws[1]);
  EXPECT_NEAR(second.x0, 84, 1e-3);
  EXPECT_NEAR(second.y0, 108, 1e-3);
  EXPECT_NEAR(second.x1, 100, 1e-3);
  EXPECT_NEAR(second.y1, 116, 1e-3);
}

TEST_F(TextTest, TrueTypeFontDrawsEnglishAndRussian) {
  media::Font font = media::LoadImageFont(game_font, 18, media::font_smooth);
  ASSERT_TRUE(font);
  EXPECT_EQ(media::detail::font_metrics(*font).size, 18);
  EXPECT_EQ(font->_imageFlags, media::image_filtered | media::image_mipmapped);
  media::SetImageFont(font);
  EXPECT_EQ(media::draw_state().image_font, font);

  EXPECT_EQ(quads_of("Hello").size(), 5u);
  EXPECT_EQ(quads_of("Привет").size(), 6u);
  EXPECT_TRUE(quads_of("").empty());

  // A space draws nothing but moves the pen; pens only move right, letters never overlap.
  const auto spaced = quads_of("l l", 0, 0);
  const auto packed = quads_of("ll", 0, 0);
  ASSERT_EQ(spaced.size(), 2u);
  ASSERT_EQ(packed.size(), 2u);
  EXPECT_GT(box_of(spaced[1]).x0, box_of(packed[1]).x0);
  EXPECT_GE(box_of(packed[1]).x0, box_of(packed[0]).x1 - 2);  // borders may touch

  // The line hangs from (x, y): a capital stands on the baseline, one ascender below y; its
  // picture's bottom row is the smooth style's transparent border.
  const auto h = quads_of("H", 100, 200);
  ASSERT_EQ(h.size(), 1u);
  const auto ascend = static_cast<float>(media::detail::font_metrics(*font).ascend);
  EXPECT_FLOAT_EQ(box_of(h[0]).y1, 200.0f + ascend + 1.0f);
  EXPECT_GE(box_of(h[0]).x0, 99.0f);
  EXPECT_LT(box_of(h[0]).x0, 104.0f);

  // An emoji is two UTF-16 code units, neither of which the face maps: nothing, no movement.
  const auto with_emoji = quads_of("l\U0001F600l", 0, 0);
  ASSERT_EQ(with_emoji.size(), 2u);
  EXPECT_FLOAT_EQ(box_of(with_emoji[1]).x0, box_of(packed[1]).x0);
}

TEST_F(TextTest, SmoothStyleAddsATransparentBorderWithoutMovingTheLetter) {
  media::Font sharp = media::LoadImageFont(game_font, 18, 0);
  media::Font smooth = media::LoadImageFont(game_font, 18, media::font_smooth);
  ASSERT_TRUE(sharp && smooth);
  EXPECT_EQ(sharp->_imageFlags, 0);

  media::SetImageFont(sharp);
  const DrawRecord plain = quads_of("R", 50, 50).at(0);
  media::SetImageFont(smooth);
  const DrawRecord bordered = quads_of("R", 50, 50).at(0);

  const Box p = box_of(plain);
  expect_box(bordered, p.x0 - 1, p.y0 - 1, p.x1 + 1, p.y1 + 1);
  const media::TPixmap& inner = *plain.pixmap;
  const media::TPixmap& outer = *bordered.pixmap;
  ASSERT_EQ(outer.width, inner.width + 2);
  ASSERT_EQ(outer.height, inner.height + 2);
  for (int y = 0; y < outer.height; ++y) {
    for (int x = 0; x < outer.width; ++x) {
      const bool edge = x == 0 || y == 0 || x == outer.width - 1 || y == outer.height - 1;
      const int expected = edge ? 0 : inner.rgba(x - 1, y - 1).a;
      ASSERT_EQ(outer.rgba(x, y).a, expected) << x << "," << y;
    }
  }
}

TEST_F(TextTest, BitmapOnlyFaceFallsBackToTheLargestSizeItHas) {
  scratch.write("fixed.bdf", bitmap_only_font);
  media::Font font = media::LoadImageFont("fixed.bdf", 14, 0);
  ASSERT_TRUE(font);
  EXPECT_EQ(media::detail::font_metrics(*font).size, 10);
  EXPECT_FALSE(media::LoadImageFont("fixed.bdf", 9, 0));

  // Its 1-bit glyph becomes full coverage or none.
  media::SetImageFont(font);
  const auto quads = quads_of("A");
  ASSERT_EQ(quads.size(), 1u);
  const media::TPixmap& picture = *quads[0].pixmap;
  EXPECT_EQ(picture.width, 6);
  EXPECT_EQ(picture.height, 8);
  EXPECT_EQ(picture.rgba(2, 0).a, 255);  // the apex: bits 0x30
  EXPECT_EQ(picture.rgba(1, 0).a, 0);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const int a = picture.rgba(x, y).a;
      EXPECT_TRUE(a == 0 || a == 255) << a;
    }
  }
}

TEST_F(TextTest, GlyphBoxWithoutPixelsDrawsNothing) {
  std::string damaged = bitmap_only_font;
  const std::size_t bitmap = damaged.find("BITMAP");
  damaged.erase(bitmap, damaged.find("ENDCHAR") - bitmap);
  scratch.write("damaged.bdf", damaged);
  media::Font font = media::LoadImageFont("damaged.bdf", 10, 0);
  ASSERT_TRUE(font);
  media::SetImageFont(font);
  EXPECT_TRUE(quads_of("AA").empty());
}

TEST_F(TextTest, FontsThatCannotBeLoadedLeaveTheBuiltinFontCurrent) {
  scratch.write("garbage.ttf", std::string(4096, 'x'));
  std::vector<unsigned char> truncated;
  {
    std::ifstream in(game_font, std::ios::binary);
    truncated.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  truncated.resize(truncated.size() / 3);
  scratch.write("truncated.ttf", truncated);

  EXPECT_FALSE(media::LoadImageFont("garbage.ttf", 18, media::font_smooth));
  EXPECT_FALSE(media::LoadImageFont(game_font, 0, media::font_smooth));
  EXPECT_FALSE(media::LoadImageFont(game_font, -5, media::font_smooth));

  // A cut-off face may open; its missing glyphs must draw as nothing, not crash.
  if (media::Font cut = media::LoadImageFont("truncated.ttf", 18, media::font_smooth)) {
    media::SetImageFont(cut);
    quads_of("Hedgerow Ёжик");
  }

  media::SetImageFont(media::LoadImageFont("missing.ttf", 18, 4));
  EXPECT_FALSE(media::draw_state().image_font);
  const auto quads = quads_of("A", 10, 20);
  ASSERT_EQ(quads.size(), 1u);
  expect_box(quads[0], 10, 20, 18, 36);
}

}  // namespace
