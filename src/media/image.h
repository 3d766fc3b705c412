#pragma once
// Pictures: loading PNG and JPEG, the mask colour, drawing, and pixel-exact collision.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/display.h"
#include "media/pixmap.h"

namespace media {

constexpr int image_masked = 1;
constexpr int image_filtered = 2;
constexpr int image_mipmapped = 4;

struct TImage {
  int width = 0, height = 0;
  int flags = 0;
  int mask_r = 0, mask_g = 0, mask_b = 0;
  float handle_x = 0.0f, handle_y = 0.0f;
  std::vector<TPixmap> pixmaps;     // one per frame
  std::vector<TextureSlot> frames;  // one per frame, made lazily
};
using Image = std::shared_ptr<TImage>;

Image LoadImage(const std::string& path, int flags = -1);
void AutoImageFlags(int flags);
void SetMaskColor(int r, int g, int b);
void MidHandleImage(const Image& image);
int ImageWidth(const Image& image);
int ImageHeight(const Image& image);
void DrawImage(const Image& image, float x, float y, int frame = 0);
int ImagesCollide(const Image& image1, int x1, int y1, int frame1, const Image& image2, int x2,
                  int y2, int frame2);

// An image of one frame made from pixels already in memory (glyphs, tools, tests).
Image image_from_pixmap(TPixmap pixmap, int flags);

}  // namespace media
