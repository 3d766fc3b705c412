#include "play_folder.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <regex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "level_files.h"

namespace routes {

namespace fs = std::filesystem;

namespace {

bool named(const fs::path& entry, std::string_view name) {
  std::string lower = entry.filename().string();
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == name;
}

// Links every entry of `from` into `to`, but the one named `except`.
void link_entries(const fs::path& from, const fs::path& to, std::string_view except) {
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    if (named(entry.path(), except)) continue;
    fs::create_symlink(fs::absolute(entry.path()), to / entry.path().filename());
  }
}

fs::path fresh_folder() {
  static std::atomic<int> counter{0};
  const fs::path path = fs::temp_directory_path() / ("hedgerow-play-" + std::to_string(::getpid()) +
                                                     "-" + std::to_string(counter++));
  fs::remove_all(path);
  fs::create_directories(path / "data" / "level");
  return path;
}

}  // namespace

PlayFolder::PlayFolder(const fs::path& game_folder) {
  if (!fs::is_directory(game_folder / "data"))
    throw std::runtime_error(game_folder.string() + " is not a game folder: it has no data folder");
  path_ = fresh_folder();
  try {
    link_entries(game_folder, path_, "data");
    link_entries(game_folder / "data", path_ / "data", "level");
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    throw;
  }
}

PlayFolder::PlayFolder(const fs::path& game_folder, int level, const levels::Grid& grid)
    : PlayFolder(game_folder) {
  put_level(level, grid);
}

void PlayFolder::put_level(int level, const levels::Grid& grid) const {
  const std::vector<unsigned char> bytes = levels::to_file(grid);
  levels::write_whole_file(
      (path_ / "data" / "level" / ("map_" + std::to_string(level) + ".dat")).string(),
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

PlayFolder::~PlayFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

WorkingDirectory::WorkingDirectory(const fs::path& folder) : previous_(fs::current_path()) {
  fs::current_path(folder);
}

WorkingDirectory::~WorkingDirectory() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
}

std::map<int, fs::path> level_texts(const fs::path& folder) {
  static const std::regex name("map_([1-9][0-9]?)\\.txt");
  std::map<int, fs::path> texts;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::smatch match;
    const std::string file = entry.path().filename().string();
    if (std::regex_match(file, match, name)) texts[std::stoi(match[1])] = entry.path();
  }
  return texts;
}

}  // namespace routes
