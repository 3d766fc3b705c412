// Fonts: TrueType faces through FreeType and the built-in 8 x 16 font, glyphs rasterised once
// and kept as images, and DrawText through the draw state's matrix.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include <algorithm>
#include <string_view>

#include "media/detail/game_file.h"
#include "media/detail/internal.h"
#include "media/detail/text_internal.h"
#include "media/display.h"
#include "media/files.h"
#include "media/image.h"

namespace media {

struct TFreeTypeFont {
  FT_Face face = nullptr;
  std::vector<std::uint8_t> bytes;  // FreeType reads the face from here for its whole life
  int _style = 0;
  int _size = 0;
  int _height = 0, _ascend = 0, _descend = 0;

  TFreeTypeFont() = default;
  TFreeTypeFont(const TFreeTypeFont&) = delete;
  TFreeTypeFont& operator=(const TFreeTypeFont&) = delete;
  ~TFreeTypeFont() {
    if (face) FT_Done_Face(face);
  }
};

void FreeTypeFontDeleter::operator()(TFreeTypeFont* font) const {
  delete font;
}

namespace {

// A glyph wider or taller than this comes from a damaged font; it is treated as unloadable
// rather than letting one character allocate a picture of gigabytes.
constexpr long max_glyph_side = 4096;

// One library for the whole run. Never released: fonts live until the program ends and may
// outlive any static owner.
FT_Library freetype() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    return FT_Init_FreeType(&made) == 0 ? made : nullptr;
  }();
  return library;
}

std::shared_ptr<TImageFont> g_builtin_font;

// Tries `size` and then each smaller size: faces made only of fixed bitmaps accept just their
// own sizes. Returns the size that was set, 0 when none was.
int set_largest_pixel_size(FT_Face face, int size) {
  for (; size > 0; --size) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) == 0) return size;
  }
  return 0;
}

// The row of a FreeType bitmap counted from the top, whichever way its rows are stored.
const unsigned char* bitmap_row(const FT_Bitmap& bitmap, unsigned row) {
  const long pitch = bitmap.pitch;
  const long from_start = pitch >= 0 ? static_cast<long>(row) * pitch
                                     : static_cast<long>(bitmap.rows - 1 - row) * -pitch;
  return bitmap.buffer + from_start;
}

// Copies 8-bit coverage into the alpha picture at (left, top), stretching fewer grey levels
// (1-bit bitmaps have two) to 0...255.
void copy_coverage(const FT_Bitmap& grey, TPixmap& picture, int left, int top) {
  const int levels = grey.num_grays >= 2 ? grey.num_grays : 256;
  for (unsigned row = 0; row < grey.rows; ++row) {
    const unsigned char* from = bitmap_row(grey, row);
    std::uint8_t* to = picture.row(top + static_cast<int>(row)) + left;
    for (unsigned col = 0; col < grey.width; ++col) {
      to[col] = static_cast<std::uint8_t>(std::min(from[col] * 255 / (levels - 1), 255));
    }
  }
}

// The glyph's coverage as a white picture, with the smooth style's transparent border.
TPixmap glyph_picture(const FT_Bitmap& rendered, int border) {
  TPixmap picture(static_cast<int>(rendered.width) + 2 * border,
                  static_cast<int>(rendered.rows) + 2 * border, PixelFormat::alpha8);
  if (rendered.pixel_mode == FT_PIXEL_MODE_GRAY) {
    copy_coverage(rendered, picture, border, border);
    return picture;
  }
  FT_Bitmap grey;
  FT_Bitmap_Init(&grey);
  if (FT_Bitmap_Convert(freetype(), &rendered, &grey, 1) == 0) {
    copy_coverage(grey, picture, border, border);
  }
  FT_Bitmap_Done(freetype(), &grey);
  return picture;
}

bool loaded_glyph_too_big(const FT_GlyphSlot slot) {
  return (slot->metrics.width >> 6) > max_glyph_side ||
         (slot->metrics.height >> 6) > max_glyph_side;
}

std::unique_ptr<TImageGlyph> make_truetype_glyph(const TFreeTypeFont& source, FT_UInt index,
                                                 int image_flags) {
  auto glyph = std::make_unique<TImageGlyph>();
  const FT_GlyphSlot slot = source.face->glyph;
  if (FT_Load_Glyph(source.face, index, FT_LOAD_DEFAULT) != 0 || loaded_glyph_too_big(slot) ||
      FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
    return glyph;
  }
  const FT_Bitmap& rendered = slot->bitmap;
  glyph->_advance = static_cast<float>(slot->advance.x >> 6);
  glyph->_x = slot->bitmap_left;
  glyph->_y = source._ascend - slot->bitmap_top;
  glyph->_w = static_cast<int>(rendered.width);
  glyph->_h = static_cast<int>(rendered.rows);
  // A damaged bitmap font can describe a glyph box and give no pixels for it.
  if (glyph->_w == 0 || glyph->_h == 0 || !rendered.buffer || glyph->_w > max_glyph_side ||
      glyph->_h > max_glyph_side) {
    return glyph;
  }

  const int border = (source._style & font_smooth) ? 1 : 0;
  glyph->_x -= border;
  glyph->_y -= border;
  glyph->_w += 2 * border;
  glyph->_h += 2 * border;
  glyph->_image = image_from_pixmap(glyph_picture(rendered, border), image_flags);
  return glyph;
}

bool builtin_glyph_blank(int index) {
  for (const auto& row : detail::builtin_font_bitmap) {
    if (row[static_cast<std::size_t>(index)] != 0) return false;
  }
  return true;
}

std::unique_ptr<TImageGlyph> make_builtin_glyph(int index, int image_flags) {
  auto glyph = std::make_unique<TImageGlyph>();
  glyph->_advance = detail::builtin_glyph_width;
  glyph->_w = detail::builtin_glyph_width;
  glyph->_h = detail::builtin_glyph_height;
  if (builtin_glyph_blank(index)) return glyph;

  TPixmap picture(glyph->_w, glyph->_h, PixelFormat::alpha8);
  for (int y = 0; y < glyph->_h; ++y) {
    const std::uint8_t bits =
        detail::builtin_font_bitmap[static_cast<std::size_t>(y)][static_cast<std::size_t>(index)];
    for (int x = 0; x < glyph->_w; ++x) picture.row(y)[x] = (bits >> x) & 1 ? 255 : 0;
  }
  glyph->_image = image_from_pixmap(std::move(picture), image_flags);
  return glyph;
}

TImageFont& builtin_font() {
  if (!g_builtin_font) {
    g_builtin_font = std::make_shared<TImageFont>();
    g_builtin_font->_glyphs.resize(detail::builtin_glyph_count);
  }
  return *g_builtin_font;
}

// The glyph that draws a UTF-16 code unit, made on first use; none when the font has no glyph
// for it.
const TImageGlyph* find_glyph(TImageFont& font, char16_t code) {
  long index = 0;
  if (font._src_font) {
    index = FT_Get_Char_Index(font._src_font->face, code);
    if (index == 0) return nullptr;
  } else {
    index = static_cast<long>(code) - detail::builtin_first_code;
  }
  if (index < 0 || index >= static_cast<long>(font._glyphs.size())) return nullptr;

  auto& slot = font._glyphs[static_cast<std::size_t>(index)];
  if (!slot) {
    slot = font._src_font
               ? make_truetype_glyph(*font._src_font, static_cast<FT_UInt>(index), font._imageFlags)
               : make_builtin_glyph(static_cast<int>(index), font._imageFlags);
  }
  return slot.get();
}

// How many continuation bytes a lead byte announces; -1 for a byte that cannot begin a character.
int continuation_count(unsigned char lead) {
  if (lead < 0x80) return 0;
  if ((lead & 0xE0) == 0xC0) return 1;
  if ((lead & 0xF0) == 0xE0) return 2;
  if ((lead & 0xF8) == 0xF0) return 3;
  return -1;
}

// Decodes the character starting at text[at]; returns its length in bytes, 0 when it is
// malformed (cut short, overlong, a surrogate or beyond U+10FFFF).
std::size_t decode_utf8(std::string_view text, std::size_t at, char32_t& code) {
  static constexpr unsigned char lead_bits[] = {0x7F, 0x1F, 0x0F, 0x07};
  static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
  const int extra = continuation_count(static_cast<unsigned char>(text[at]));
  if (extra < 0 || text.size() - at <= static_cast<std::size_t>(extra)) return 0;
  code = static_cast<unsigned char>(text[at]) & lead_bits[extra];
  for (int k = 1; k <= extra; ++k) {
    const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(k)]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return static_cast<std::size_t>(extra) + 1;
}

// The game's strings are UTF-8; fonts are looked up by UTF-16 code unit. A malformed byte
// stands for U+FFFD.
std::u16string utf16_from_utf8(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    char32_t code = 0;
    const std::size_t length = decode_utf8(text, at, code);
    if (length == 0) {
      units.push_back(u'\uFFFD');
      ++at;
      continue;
    }
    if (code >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(code));
    }
    at += length;
  }
  return units;
}

void draw_glyph(const TImageGlyph& glyph, float pen_x, float pen_y) {
  TImage& image = *glyph._image;
  if (image.pixmaps.empty() || image.frames.empty()) return;
  detail::draw_textured_quad(image.pixmaps[0], image.frames[0], image.flags,
                             static_cast<float>(glyph._x), static_cast<float>(glyph._y),
                             static_cast<float>(glyph._x + glyph._w),
                             static_cast<float>(glyph._y + glyph._h), pen_x, pen_y);
}

}  // namespace

namespace detail {

Font load_image_font_from_memory(std::vector<std::uint8_t> bytes, int size, int style) {
  if (!freetype() || bytes.empty()) return nullptr;
  std::unique_ptr<TFreeTypeFont, FreeTypeFontDeleter> source(new TFreeTypeFont);
  source->bytes = std::move(bytes);
  if (FT_New_Memory_Face(freetype(), source->bytes.data(),
                         static_cast<FT_Long>(source->bytes.size()), 0, &source->face) != 0) {
    source->face = nullptr;
    return nullptr;
  }
  source->_size = set_largest_pixel_size(source->face, size);
  if (source->_size == 0) return nullptr;

  const FT_Size_Metrics& metrics = source->face->size->metrics;
  source->_style = style;
  source->_height = static_cast<int>(metrics.height >> 6);
  source->_ascend = static_cast<int>(metrics.ascender >> 6);
  source->_descend = static_cast<int>(metrics.descender >> 6);

  auto font = std::make_shared<TImageFont>();
  font->_glyphs.resize(static_cast<std::size_t>(std::max<FT_Long>(source->face->num_glyphs, 0)));
  font->_imageFlags = (style & font_smooth) ? image_filtered | image_mipmapped : 0;
  font->_src_font = std::move(source);
  return font;
}

FontMetrics font_metrics(const TImageFont& font) {
  if (!font._src_font) {
    return {builtin_glyph_height, builtin_glyph_height, builtin_glyph_height, 0};
  }
  const TFreeTypeFont& source = *font._src_font;
  return {source._size, source._height, source._ascend, source._descend};
}

void reset_text_state() {
  // The built-in font's glyph textures belong to the back end that is going away.
  g_builtin_font.reset();
}

}  // namespace detail

Font LoadImageFont(const std::string& path, int size, int style) {
  std::optional<std::vector<std::uint8_t>> bytes =
      detail::read_game_file(map_path(path), detail::max_font_file_bytes);
  if (!bytes) return nullptr;
  return detail::load_image_font_from_memory(std::move(*bytes), size, style);
}

void SetImageFont(const Font& font) {
  detail::set_image_font(font);
}

void DrawText(const std::string& text, float x, float y) {
  const TDrawState& state = draw_state();
  TImageFont& font = state.image_font ? *state.image_font : builtin_font();
  float pen_x =
      x + state.origin_x + state.handle_x * state.tform_ix + state.handle_y * state.tform_iy;
  float pen_y =
      y + state.origin_y + state.handle_x * state.tform_jx + state.handle_y * state.tform_jy;
  for (const char16_t code : utf16_from_utf8(text)) {
    const TImageGlyph* glyph = find_glyph(font, code);
    if (!glyph) continue;
    if (glyph->_image) draw_glyph(*glyph, pen_x, pen_y);
    pen_x += glyph->_advance * state.tform_ix;
    pen_y += glyph->_advance * state.tform_jx;
  }
}

}  // namespace media
