// asset_mirror <source.png> <target.png>: the target is the source flipped left-right.
// The data build makes the left-facing frames of the hero and the hedgehogs this way.
#include <cstdio>
#include <exception>

#include "png_io.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: asset_mirror <source.png> <target.png>\n");
    return 2;
  }
  try {
    asset::write_png(argv[2], asset::mirrored_left_right(asset::read_png(argv[1])));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "asset_mirror: %s\n", error.what());
    return 1;
  }
  return 0;
}
