// Arbitrary bytes as the save file: the game takes the record and the last level from its first
// eight bytes, or leaves both at 0 when there are fewer; it never reads past the end.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "media/media.h"
#include "shell/game_manager.h"

namespace {

// A folder of its own as the program folder, removed at exit, and one manager for every input.
struct Harness {
  Harness()
      : folder(std::filesystem::temp_directory_path() /
               ("hedgerow-fuzz-save-" + std::to_string(::getpid()))) {
    media::use_headless();
    std::filesystem::create_directories(folder / "data");
    std::filesystem::current_path(folder);
    manager = std::make_unique<TGameManager>();
  }
  ~Harness() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  std::filesystem::path folder;
  std::unique_ptr<TGameManager> manager;
};

TGameManager& manager_once() {
  static Harness harness;
  return *harness.manager;
}

std::int32_t little_endian(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                   (std::uint32_t{bytes[3]} << 24));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TGameManager& manager = manager_once();
  std::ofstream("data/save.dat", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  TGame& game = *manager._game;
  game._record = 0;
  game._last_level = 0;
  manager.load_data();
  const bool both = size >= 8;
  if (game._record != (both ? little_endian(data) : 0)) std::abort();
  if (game._last_level != (both ? little_endian(data + 4) : 0)) std::abort();
  return 0;
}
