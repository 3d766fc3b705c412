// Encoding a rendered picture as an opaque JPEG for the full-screen pictures.
#pragma once

#include <string>

#include "png_io.h"

namespace asset {

// Alpha is flattened onto black: the screens drawn as JPEG are dark behind their text.
// Throws std::runtime_error naming the file when it cannot be written.
void write_jpeg(const std::string& path, const RgbaImage& image, int quality);

}  // namespace asset
