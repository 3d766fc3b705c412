// Arbitrary bytes as a font file: loading must give none or a font, and drawing with it must
// neither crash nor read outside what FreeType hands back.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/detail/text_internal.h"
#include "media/display.h"
#include "media/headless.h"
#include "media/media.h"
#include "media/text.h"

namespace {

void open_display_once() {
  static const bool opened = [] {
    media::use_headless().set_rasterise(false);
    return media::Graphics(1024, 768, 0, 0, 0);
  }();
  (void)opened;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  open_display_once();
  for (int style : {0, media::font_smooth}) {
    media::Font font = media::detail::load_image_font_from_memory(
        std::vector<std::uint8_t>(data, data + size), 18, style);
    if (!font) continue;
    media::SetImageFont(font);
    media::DrawText("Hedgerow Ёжик 0123 \t\xF0\x9F\x98\x80", 10, 10);
    media::SetImageFont(nullptr);
    media::Flip(0);  // keeps the draw log from growing across inputs
  }
  return 0;
}
