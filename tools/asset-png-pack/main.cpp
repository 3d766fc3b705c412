// asset_png_pack <source.png> <target.png>: the same picture stored as the game decodes it
// fastest (rows unfiltered, highest compression). The data build passes every rendered PNG
// through it.
#include <cstdio>
#include <exception>

#include "png_io.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: asset_png_pack <source.png> <target.png>\n");
    return 2;
  }
  try {
    asset::pack_png(argv[1], argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "asset_png_pack: %s\n", error.what());
    return 1;
  }
  return 0;
}
