// contact_sheet <game folder> <sheet.png>: every picture of the game folder's data/graphics on
// one PNG, each labelled with its name and size, big ones scaled down, each on a lighter patch
// that shows the picture's full rectangle (so transparent margins and feet on the bottom edge
// show).
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "media/display.h"
#include "media/headless.h"
#include "media/image.h"
#include "media/media.h"
#include "media/text.h"

namespace {

namespace fs = std::filesystem;

constexpr int sheet_width = 1280;
constexpr int margin = 12;
constexpr int title_height = 36;
constexpr int label_height = 34;
constexpr int min_cell_width = 150;
constexpr float max_shown_width = 256.0f;
constexpr float max_shown_height = 192.0f;

struct Entry {
  std::string name;
  media::Image image;
  float scale = 1.0f;
  int x = 0, y = 0;
  int shown_width() const { return static_cast<int>(media::ImageWidth(image) * scale + 0.5f); }
  int shown_height() const { return static_cast<int>(media::ImageHeight(image) * scale + 0.5f); }
};

std::vector<fs::path> picture_files(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string ext = entry.path().extension().string();
    if (entry.is_regular_file() && (ext == ".png" || ext == ".jpg")) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

float fitting_scale(const media::Image& image) {
  const float w = static_cast<float>(media::ImageWidth(image));
  const float h = static_cast<float>(media::ImageHeight(image));
  return std::min({1.0f, max_shown_width / w, max_shown_height / h});
}

// Places the entries in rows, left to right; returns the height the sheet needs.
int lay_out(std::vector<Entry>& entries) {
  int x = margin, y = title_height, row_height = 0;
  for (Entry& e : entries) {
    const int cell_width = std::max(e.shown_width(), min_cell_width) + margin;
    if (x + cell_width > sheet_width && x > margin) {
      x = margin;
      y += row_height;
      row_height = 0;
    }
    e.x = x;
    e.y = y;
    x += cell_width;
    row_height = std::max(row_height, e.shown_height() + label_height + margin);
  }
  return y + row_height;
}

void draw_entry(const Entry& e) {
  media::SetColor(128, 140, 152);
  media::DrawRect(static_cast<float>(e.x), static_cast<float>(e.y),
                  static_cast<float>(e.shown_width()), static_cast<float>(e.shown_height()));
  media::SetColor(255, 255, 255);
  media::SetScale(e.scale, e.scale);
  media::DrawImage(e.image, static_cast<float>(e.x), static_cast<float>(e.y));
  media::SetScale(1.0f, 1.0f);
  std::string size = std::to_string(media::ImageWidth(e.image)) + " x " +
                     std::to_string(media::ImageHeight(e.image));
  if (e.scale < 1.0f)
    size += "  (shown at " + std::to_string(static_cast<int>(e.scale * 100)) + "%)";
  const float label_y = static_cast<float>(e.y + e.shown_height() + 2);
  media::DrawText(e.name, static_cast<float>(e.x), label_y);
  media::SetColor(220, 226, 232);
  media::DrawText(size, static_cast<float>(e.x), label_y + 15.0f);
  media::SetColor(255, 255, 255);
}

int make_sheet(const fs::path& game_folder, const std::string& out) {
  media::HeadlessBackend& hb = media::use_headless();
  const fs::path graphics = game_folder / "data" / "graphics";
  if (!fs::is_directory(graphics)) {
    std::fprintf(stderr, "contact_sheet: %s is not a folder\n", graphics.string().c_str());
    return 1;
  }
  std::vector<Entry> entries;
  int unreadable = 0;
  for (const fs::path& file : picture_files(graphics)) {
    media::Image image = media::LoadImage(file.string(), 0);
    if (!image) {
      std::fprintf(stderr, "contact_sheet: cannot decode %s\n", file.string().c_str());
      ++unreadable;
      continue;
    }
    entries.push_back({file.filename().string(), image, fitting_scale(image)});
  }
  const int height = lay_out(entries);
  media::Graphics(sheet_width, std::max(height, title_height + margin), 32, 60, 0);
  media::SetImageFont(
      media::LoadImageFont((game_folder / "fonts" / "arial.ttf").string(), 12, media::font_smooth));
  media::SetColor(84, 96, 110);
  media::DrawRect(0.0f, 0.0f, static_cast<float>(sheet_width), static_cast<float>(height));
  media::SetColor(255, 255, 255);
  media::DrawText("data/graphics: " + std::to_string(entries.size()) + " pictures", margin, 10.0f);
  for (const Entry& e : entries) draw_entry(e);
  media::Flip(0);
  if (!hb.save_png(out)) {
    std::fprintf(stderr, "contact_sheet: cannot write %s\n", out.c_str());
    return 1;
  }
  return unreadable == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: contact_sheet <game folder> <sheet.png>\n");
    return 2;
  }
  try {
    return make_sheet(argv[1], argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "contact_sheet: %s\n", error.what());
    return 1;
  }
}
