// level_compile <level.txt> <map_n.dat>: the level file the game reads, from the level's text.
// A fault in the text stops it with "<file>:<line>:<column>: error: <reason>" and status 1, so
// the build fails on it; likely design mistakes (no hero start, no exit) are only warnings.
#include <cstdio>
#include <exception>
#include <string_view>

#include "level_files.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: level_compile <level.txt> <map_n.dat>\n");
    return 2;
  }
  try {
    const levels::Grid grid = levels::read_level_text(argv[1]);
    for (const std::string& warning : levels::design_warnings(grid)) {
      std::fprintf(stderr, "%s: warning: %s\n", argv[1], warning.c_str());
    }
    const std::vector<unsigned char> bytes = levels::to_file(grid);
    levels::write_whole_file(
        argv[2], std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
