#include "support/game_files.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "menu/menu.h"
#include "shell/catalogue.h"

namespace test_support {

int catalogue_picture_width(int n) {
  return 2 * n + 2;
}

std::string disk_path(std::string_view game_path) {
  std::string path(game_path);
  std::replace(path.begin(), path.end(), '\\', '/');
  std::transform(path.begin(), path.end(), path.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return path;
}

Bytes wav_seconds(double seconds) {
  constexpr std::uint32_t rate = 8000;
  const auto frames = static_cast<std::uint32_t>(seconds * rate);
  Bytes b;
  auto text = [&](std::string_view tag) {
    for (char c : tag) b.push_back(static_cast<unsigned char>(c));
  };
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  text("RIFF");
  put(36 + frames, 4);
  text("WAVE");
  text("fmt ");
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(rate, 4);
  put(rate, 4);
  put(1, 2);
  put(8, 2);
  text("data");
  put(frames, 4);
  for (std::uint32_t i = 0; i < frames; ++i) b.push_back(static_cast<unsigned char>(128 + i % 32));
  return b;
}

Bytes rgba_png(int width, int height, std::array<unsigned char, 3> colour, int solid_from_x) {
  Bytes pixels;
  pixels.reserve(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (unsigned char channel : colour) pixels.push_back(channel);
      pixels.push_back(x >= solid_from_x ? 255 : 0);
    }
  }
  return encode_png(width, height, 4, pixels);
}

namespace {

Bytes pointer_png() {
  constexpr int side = 24, tip = 8;
  Bytes pixels;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      for (unsigned char channel : {250, 240, 200}) pixels.push_back(channel);
      pixels.push_back(x < tip && y < tip ? 255 : 0);
    }
  }
  return encode_png(side, side, 4, pixels);
}

// The picture for one element of one of the menu's groups.
Bytes menu_picture(std::string_view group, std::size_t element) {
  constexpr int see_through_half = 100;
  if (group == "menu_images") {
    switch (element) {
      case 0:
        return rgba_png(32, 32, {200, 40, 40});  // the Russian screen
      case 1:
        return rgba_png(200, 70, {210, 60, 60}, see_through_half);
      case 3:
        return rgba_png(100, 40, {230, 100, 100});
    }
  } else if (group == "menu_eng_images") {
    switch (element) {
      case 0:
        return rgba_png(200, 70, {60, 60, 210}, see_through_half);
      case 2:
        return rgba_png(100, 40, {100, 100, 230});
      case 3:
        return rgba_png(32, 32, {40, 40, 200});  // the English screen
    }
  } else if (group == "flag_images") {
    return rgba_png(80, 56,
                    element == 0 ? std::array<unsigned char, 3>{255, 0, 0}
                                 : std::array<unsigned char, 3>{0, 0, 255});
  } else if (group == "menu_bg_image") {
    return rgba_png(32, 32, {120, 200, 255});
  } else if (group == "cursor_image") {
    return pointer_png();
  }
  return rgba_png(10, 10, {90, 90, 90});  // loaded, never drawn
}

}  // namespace

void write_menu_pictures(ScratchFolder& folder) {
  for (const MenuPictureEntry& entry : menu_picture_entries()) {
    for (std::size_t i = 0; i < entry.files.size(); ++i) {
      folder.write(disk_path(entry.files[i]), menu_picture(entry.name, i));
    }
  }
}

void write_logo(ScratchFolder& folder) {
  folder.write("fsdata/logo_a.png", rgba_png(213, 90, {250, 200, 0}));
  folder.write("fsdata/logo_na.png", rgba_png(213, 90, {150, 120, 0}));
}

void write_catalogue_files(ScratchFolder& folder) {
  int picture = 0;
  for (const CatalogueEntry& entry : catalogue_entries()) {
    const bool pictures = std::holds_alternative<PictureSlots>(entry.slots);
    for (const CatalogueFile& file : entry.files) {
      folder.write(disk_path(file.path),
                   pictures ? rgba_png(catalogue_picture_width(picture++), 6, {100, 150, 50})
                            : wav_seconds(file.flags ? 1.0 : 0.25));
    }
  }
}

void write_level(ScratchFolder& folder, int level, const std::vector<Cell>& cells) {
  constexpr int rows = 200, columns = 200;
  std::vector<std::int32_t> codes(static_cast<std::size_t>(rows) * columns, 0);
  for (const Cell& c : cells) codes[static_cast<std::size_t>(c.column) * rows + c.row] = c.code;
  Bytes bytes;
  bytes.reserve(codes.size() * 4);
  for (std::int32_t code : codes) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(code >> (8 * i)));
  }
  folder.write("data/level/map_" + std::to_string(level) + ".dat", bytes);
}

}  // namespace test_support
