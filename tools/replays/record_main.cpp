// replay_record <game folder> <replay>
//   runs the game from the game folder on the real back end, exactly as the game runs, and
//   writes everything it takes in as a replay. Prints a line at every change of level and at the
//   end, as replay_play does, so that a replay played back can be compared with its recording.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "media/journal.h"
#include "media/media.h"
#include "replay_journal.h"
#include "shell/game_manager.h"
#include "shell/globals.h"
#include "shell/program.h"
#include "state_hash.h"

namespace {

// The replay's writer, which also prints what replay_play prints.
class Recording : public replays::ReplayWriter {
 public:
  using ReplayWriter::ReplayWriter;

  void presented(int frames) override {
    ReplayWriter::presented(frames);
    frames_ = frames;
    if (!globals().manager) return;
    if (auto line = watch_.look(*globals().manager->_game, frames)) {
      std::puts(line->c_str());
      std::fflush(stdout);  // whoever works the game may be waiting for it
    }
  }

  void ending(int status) override {
    if (globals().manager) {
      const std::string how = "status " + std::to_string(status);
      std::puts(replays::LevelWatch::end_line(*globals().manager->_game, frames_, how).c_str());
    }
    std::fflush(stdout);
    ReplayWriter::ending(status);
  }

 private:
  replays::LevelWatch watch_;
  int frames_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: replay_record <game folder> <replay>\n");
    return 2;
  }
  std::ofstream out(argv[2], std::ios::binary);
  if (!out) {
    std::fprintf(stderr, "replay_record: %s: cannot be written\n", argv[2]);
    return 1;
  }
  try {
    std::filesystem::current_path(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "replay_record: %s\n", error.what());
    return 1;
  }
  media::use_sdl();
  Recording recording(out);
  media::set_journal(&recording);
  // Made now, so that it outlives the exit handlers that run after the game's end.
  globals();
  shell::run();
}
