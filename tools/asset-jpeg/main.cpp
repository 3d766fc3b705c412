// asset_jpeg <source.png> <target.jpg> <quality>: the opaque JPEG of a rendered picture.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "jpeg_write.h"

int main(int argc, char** argv) {
  const int quality = argc == 4 ? std::atoi(argv[3]) : 0;
  if (argc != 4 || quality < 1 || quality > 100) {
    std::fprintf(stderr, "usage: asset_jpeg <source.png> <target.jpg> <quality 1-100>\n");
    return 2;
  }
  try {
    asset::write_jpeg(argv[2], asset::read_png(argv[1]), quality);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "asset_jpeg: %s\n", error.what());
    return 1;
  }
  return 0;
}
