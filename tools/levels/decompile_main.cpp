// level_decompile <map_n.dat> <level.txt>: a level file back to its canonical text. Compiling
// that text gives the same bytes again.
#include <cstdio>
#include <exception>

#include "level_files.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: level_decompile <map_n.dat> <level.txt>\n");
    return 2;
  }
  try {
    levels::write_whole_file(argv[2], levels::to_text(levels::read_level_file(argv[1])));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
