#include "support/level_files.h"

#include <fstream>
#include <string>
#include <vector>

#include "level_text.h"

namespace test_support {

std::filesystem::path write_level(int level, std::string_view text) {
  const std::vector<unsigned char> bytes = levels::to_file(levels::parse(text));
  const std::filesystem::path path =
      std::filesystem::path("data") / "level" / ("map_" + std::to_string(level) + ".dat");
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return std::filesystem::absolute(path);
}

}  // namespace test_support
