#pragma once
// Level files for tests, written from a level's text: one line per row, one character per cell
// (legend in assets/levels/README.md), so a test's level reads like the level.

#include <filesystem>
#include <string_view>

namespace test_support {

// Writes data/level/map_<level>.dat in the working folder (the test's program folder) from
// `text`; a fault in the text throws, naming its line and column.
std::filesystem::path write_level(int level, std::string_view text);

}  // namespace test_support
