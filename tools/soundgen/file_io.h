#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

// Writes all bytes or throws with the path and the reason; a partly written file is removed so
// the build never keeps a truncated sound.
void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The whole file as text; throws when it cannot be read.
std::string read_text_file(const std::string& path);

}  // namespace soundgen
