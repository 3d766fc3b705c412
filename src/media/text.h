#pragma once
// Text in TrueType fonts and the built-in 8 x 16 font.

#include <memory>
#include <string>
#include <vector>

#include "media/image.h"

namespace media {

constexpr int font_smooth = 4;

struct TImageGlyph {
  Image _image;  // none for blank glyphs such as space
  float _advance = 0.0f;
  int _x = 0, _y = 0, _w = 0, _h = 0;
};

struct TImageFont;
using Font = std::shared_ptr<TImageFont>;

Font LoadImageFont(const std::string& path, int size, int style);
void SetImageFont(const Font& font);
// Draws UTF-8 text with its top-left corner at (x, y).
void DrawText(const std::string& text, float x, float y);

}  // namespace media
