// Reading the game's files: only plain files, never waiting on a pipe, each kind within its
// size limit; the same rules for pictures, fonts and sounds.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "media/detail/game_file.h"
#include "media/image.h"
#include "media/sound.h"
#include "media/text.h"
#include "support/headless_test.h"
#include "support/picture_writer.h"

namespace {

namespace fs = std::filesystem;
using test_support::Bytes;

Bytes file_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An 8-bit mono WAV of a few samples.
Bytes short_wav() {
  Bytes b = {'R', 'I', 'F', 'F', 40,  0,   0,   0,   'W',  'A',  'V', 'E', 'f',  'm',  't', ' ',
             16,  0,   0,   0,   1,   0,   1,   0,   0x40, 0x1F, 0,   0,   0x40, 0x1F, 0,   0,
             1,   0,   8,   0,   'd', 'a', 't', 'a', 4,    0,    0,   0,   10,   200,  30,  140};
  return b;
}

struct LoaderKind {
  const char* name;
  std::function<Bytes()> valid_file;
  std::function<bool(const std::string&)> loads;
  std::size_t limit;
};

const std::vector<LoaderKind>& loader_kinds() {
  static const std::vector<LoaderKind> kinds = {
      {"picture.png",
       [] {
         return test_support::encode_png(2, 2, 3, test_support::solid_pixels(2, 2, {9, 8, 7}));
       },
       [](const std::string& path) { return media::LoadImage(path) != nullptr; },
       media::detail::max_picture_file_bytes},
      {"font.ttf",
       [] { return file_bytes(std::string(HEDGEROW_SOURCE_DIR) + "/assets/fonts/arial.ttf"); },
       [](const std::string& path) { return media::LoadImageFont(path, 18, 0) != nullptr; },
       media::detail::max_font_file_bytes},
      {"sound.wav", short_wav,
       [](const std::string& path) { return media::LoadSound(path, 0) != nullptr; },
       media::detail::max_sound_file_bytes},
  };
  return kinds;
}

using GameFileTest = HeadlessTest;

TEST_F(GameFileTest, EveryLoaderTakesOnlyPlainFilesWithinItsLimit) {
  for (const LoaderKind& kind : loader_kinds()) {
    SCOPED_TRACE(kind.name);
    const fs::path file = scratch.write(kind.name, kind.valid_file());
    EXPECT_TRUE(kind.loads(kind.name));

    // Zeros after the end change nothing for the decoders: only the size can refuse these.
    fs::resize_file(file, 64 * 1024);
    EXPECT_TRUE(kind.loads(kind.name));
    fs::resize_file(file, kind.limit + 1);  // sparse: nothing is written, nothing read
    EXPECT_FALSE(kind.loads(kind.name));

    fs::resize_file(file, 0);
    EXPECT_FALSE(kind.loads(kind.name));
    fs::remove(file);
    EXPECT_FALSE(kind.loads(kind.name));
    fs::create_directory(file);
    EXPECT_FALSE(kind.loads(kind.name));
    fs::remove(file);
    ASSERT_EQ(::mkfifo(kind.name, 0600), 0);
    EXPECT_FALSE(kind.loads(kind.name));  // must not wait for a writer
    fs::remove(file);
  }
}

TEST_F(GameFileTest, ReadsTheWholeFileUpToTheLimitExactly) {
  const Bytes bytes = {1, 2, 3, 4, 5, 6, 7};
  scratch.write("seven.dat", bytes);
  EXPECT_EQ(media::detail::read_game_file("seven.dat", 7), bytes);
  EXPECT_FALSE(media::detail::read_game_file("seven.dat", 6));
  scratch.write("empty.dat", Bytes{});
  EXPECT_EQ(media::detail::read_game_file("empty.dat", 7), Bytes{});
  EXPECT_FALSE(media::detail::read_game_file("/dev/zero", 7));  // endless, and no file
}

}  // namespace
