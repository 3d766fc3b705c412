#pragma once
// Reading and writing levels on disk for the level tools. Every error names the file; an error
// in a level's text also gives the line and column the way compilers do ("map_3.txt:5:12: ...").

#include <string>
#include <string_view>

#include "level_text.h"

namespace levels {

Grid read_level_text(const std::string& path);
Grid read_level_file(const std::string& path);
// A level's text when the name ends in ".txt", otherwise the level file.
Grid read_level(const std::string& path);

// Writes the whole of `bytes` to `path` through a file beside it that then takes its place, so a
// failed run never leaves a half-written level behind.
void write_whole_file(const std::string& path, std::string_view bytes);

}  // namespace levels
