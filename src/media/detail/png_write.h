#pragma once
// Writing 8-bit RGBA pictures as PNG files (screenshots of the headless frame, tools).

#include <cstdint>
#include <string>

namespace media {

// Writes `height` rows of `width` RGBA pixels, `stride` bytes apart, to `path`. False (and no
// file left behind) when the file cannot be written.
bool write_png_rgba(const std::string& path, int width, int height, const std::uint8_t* rgba,
                    int stride);

}  // namespace media
