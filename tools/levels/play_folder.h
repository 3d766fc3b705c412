#pragma once
// A folder to play levels in without touching the game folder: everything the game folder
// holds, linked, except its levels, and the levels to play written as data/level/map_<n>.dat.
// It goes, with everything in it, when the object goes; what the links point to stays.

#include <filesystem>
#include <map>

#include "level_text.h"

namespace routes {

class PlayFolder {
 public:
  explicit PlayFolder(const std::filesystem::path& game_folder);
  PlayFolder(const std::filesystem::path& game_folder, int level, const levels::Grid& grid);
  ~PlayFolder();
  PlayFolder(const PlayFolder&) = delete;
  PlayFolder& operator=(const PlayFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  void put_level(int level, const levels::Grid& grid) const;

 private:
  std::filesystem::path path_;
};

// The levels of a folder by number, from their text (map_<n>.txt).
std::map<int, std::filesystem::path> level_texts(const std::filesystem::path& folder);

// Makes `folder` the working directory while the object lives.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& folder);
  ~WorkingDirectory();
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace routes
