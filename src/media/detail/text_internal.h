#pragma once
// The inside of fonts, shared by the text module, its tests and the font fuzz target; the game
// never includes this.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "media/text.h"

namespace media {

// A TrueType face at its pixel size; FreeType stays inside text.cpp.
struct TFreeTypeFont;
struct FreeTypeFontDeleter {
  void operator()(TFreeTypeFont* font) const;
};

struct TImageFont {
  std::unique_ptr<TFreeTypeFont, FreeTypeFontDeleter> _src_font;  // none: the built-in font
  std::vector<std::unique_ptr<TImageGlyph>> _glyphs;  // one slot per glyph, made on first use
  int _imageFlags = 0;
};

namespace detail {

// The built-in 8 x 16 font for the codes 32...127: byte i of row r holds the 8 pixels of glyph i
// in that row, least significant bit leftmost.
constexpr int builtin_first_code = 32;
constexpr int builtin_glyph_count = 96;
constexpr int builtin_glyph_width = 8;
constexpr int builtin_glyph_height = 16;
using BuiltinFontBitmap = std::array<std::array<std::uint8_t, builtin_glyph_count>, 16>;
extern const BuiltinFontBitmap builtin_font_bitmap;

// LoadImageFont for a font file already read into memory; the font keeps the bytes.
Font load_image_font_from_memory(std::vector<std::uint8_t> bytes, int size, int style);

// The pixel size a TrueType font was opened at and its line metrics in pixels; for the built-in
// font 16, 16, 16, 0.
struct FontMetrics {
  int size = 0;
  int height = 0;
  int ascend = 0;
  int descend = 0;
};
FontMetrics font_metrics(const TImageFont& font);

}  // namespace detail
}  // namespace media
