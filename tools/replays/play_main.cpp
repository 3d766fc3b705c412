// replay_play <game folder> <replay> [--levels <folder>] [--check <lines file>]
//             [--lines <lines file>]
//   plays the replay through the game on the headless back end, from start-up, and prints a
//   line at every change of level and at the end: the frame, level, score, lives and a hash of
//   the game's state. With --levels, the game folder's levels are replaced by the folder's
//   map_<n>.txt. With --check, the lines must be those of the file; --lines writes them to one.
// Status 0 when the run kept to the replay (and matched the file), 1 when not, 2 for a wrong
// command line.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "level_files.h"
#include "play_folder.h"
#include "replay_run.h"
#include "tool_arguments.h"

namespace {

namespace fs = std::filesystem;

void usage() {
  std::fprintf(stderr,
               "usage: replay_play <game folder> <replay> [--levels <folder>] "
               "[--check <lines file>] [--lines <lines file>]\n");
}

std::unique_ptr<routes::PlayFolder> play_folder(const std::string& game,
                                                const std::optional<std::string>& levels) {
  if (!levels) return nullptr;
  auto folder = std::make_unique<routes::PlayFolder>(game);
  for (const auto& [n, text] : routes::level_texts(fs::absolute(*levels))) {
    folder->put_level(n, levels::read_level(text.string()));
  }
  return folder;
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A file named on the command line, as it is found from the folder the tool started in.
std::optional<std::string> absolute(const std::optional<std::string>& path) {
  if (!path) return std::nullopt;
  return fs::absolute(*path).string();
}

int play(const tools::Arguments& args) {
  const std::string& game = args.positional[0];
  const std::optional<std::string> lines = absolute(args.option("--lines"));
  const std::optional<std::string> expected = absolute(args.option("--check"));
  const replays::Replay replay = replays::read_replay(args.positional[1]);
  const auto folder = play_folder(game, args.option("--levels"));
  const routes::WorkingDirectory inside(folder ? folder->path() : fs::path(game));
  const replays::ReplayResult result = replays::play_replay(replay);
  std::fputs(result.text().c_str(), stdout);
  std::fprintf(stderr,
               "start-up %.3f s; %d frames in %.3f s all told: %.0f times real time at 60 frames "
               "a second (%.0f without the start-up)\n",
               result.start_seconds, result.frames, result.seconds,
               result.frames / 60.0 / result.seconds,
               result.frames / 60.0 / (result.seconds - result.start_seconds));
  int status = 0;
  if (result.strays.any()) {
    std::fprintf(stderr,
                 "the run strayed from the replay: %d clock readings more than it holds, %d of "
                 "its readings never asked for, %d events never taken in\n",
                 result.strays.extra_readings, result.strays.unread_readings,
                 result.strays.events_left);
    status = 1;
  }
  if (lines) {
    std::ofstream out(*lines, std::ios::binary);
    if (!(out << result.text())) throw std::runtime_error(*lines + ": cannot be written");
  }
  if (expected) {
    if (file_text(*expected) != result.text()) {
      std::fprintf(stderr, "the lines differ from %s, which holds:\n%s", expected->c_str(),
                   file_text(*expected).c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<tools::Arguments> args =
      tools::Arguments::read(argc, argv, {"--levels", "--check", "--lines"});
  if (!args || args->positional.size() != 2) {
    usage();
    return 2;
  }
  try {
    return play(*args);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "replay_play: %s\n", error.what());
    return 1;
  }
}
