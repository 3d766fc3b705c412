// Temporary definitions so the tree links; the images and text developers replace this file.
#include "media/image.h"
#include "media/internal.h"
#include "media/text.h"

namespace media {
Image LoadImage(const std::string&, int) { return nullptr; }
void AutoImageFlags(int) {}
void SetMaskColor(int, int, int) {}
void MidHandleImage(const Image&) {}
int ImageWidth(const Image&) { return 0; }
int ImageHeight(const Image&) { return 0; }
void DrawImage(const Image&, float, float, int) {}
int ImagesCollide(const Image&, int, int, int, const Image&, int, int, int) { return 0; }
Image image_from_pixmap(TPixmap, int) { return nullptr; }
Font LoadImageFont(const std::string&, int, int) { return nullptr; }
void SetImageFont(const Font&) {}
void DrawText(const std::string&, float, float) {}
namespace detail {
void reset_image_state() {}
void reset_text_state() {}
}  // namespace detail
}  // namespace media
