#include "whole_game.h"

#include <deque>
#include <memory>
#include <sstream>
#include <vector>

#include "media/headless.h"
#include "media/image.h"
#include "media/journal.h"
#include "media/media.h"
#include "menu/menu.h"
#include "replay_journal.h"
#include "shell/game_manager.h"
#include "shell/globals.h"
#include "shell/program.h"

namespace replays {

namespace {

using media::InputEvent;
using Type = InputEvent::Type;

constexpr int enter_key = 13;
constexpr int lives_at_start = 3;
constexpr int frame_limit = 500000;
constexpr int menu_patience = 60;  // frames the menu may show after an item was clicked

// Where the menu draws its items (and where the pointer's tip must land on them).
struct MenuItem {
  int picture;  // index into menu_eng_images
  int x, y;
};
constexpr MenuItem start_item{0, 550, 400};
constexpr MenuItem exit_item{2, 600, 460};

InputEvent event(Type type, int code = 0, int x = 0, int y = 0) {
  InputEvent e;
  e.type = type;
  e.code = code;
  e.x = x;
  e.y = y;
  return e;
}

// A point where the menu's own test finds the pointer on the item, nearest its middle.
std::pair<int, int> point_on(const MenuItem& item) {
  const MenuPictures& pictures = menu_pictures();
  const media::Image& picture = pictures.menu_eng_images[static_cast<std::size_t>(item.picture)];
  const int w = media::ImageWidth(picture), h = media::ImageHeight(picture);
  const int mx = item.x + w / 2, my = item.y + h / 2;
  std::optional<std::pair<int, int>> best;
  long best_distance = 0;
  for (int y = item.y; y < item.y + h; ++y) {
    for (int x = item.x; x < item.x + w; ++x) {
      const long d = static_cast<long>(x - mx) * (x - mx) + static_cast<long>(y - my) * (y - my);
      if (best && d >= best_distance) continue;
      if (media::ImagesCollide(pictures.cursor_image, x, y, 0, picture, item.x, item.y, 0)) {
        best = {x, y};
        best_distance = d;
      }
    }
  }
  if (!best) throw WholeGameError("the menu's item has no point the pointer can touch");
  return *best;
}

// Decides, before each pass of the main loop, what the pass takes in, and answers every wait
// for a key with Enter.
class Driver : public media::Feed {
 public:
  explicit Driver(const std::map<int, routes::Route>& routes) : routes_(routes) {}

  void before_frame() {
    const media::Stamp at{media::current_stamp().frame, 0};
    if (at.frame > frame_limit) throw WholeGameError("the game did not end");
    const TGameManager& manager = *globals().manager;
    if (manager._state == 0) {
      menu_frame(at);
    } else {
      play_frame(at, *manager._game);
    }
  }

  void events(media::Stamp at, media::TakeIn how, std::vector<InputEvent>& out) override {
    while (!planned_.empty() && planned_.front().first <= at) {
      out.push_back(planned_.front().second);
      planned_.pop_front();
    }
    if (how != media::TakeIn::wait) return;
    // A screen waits: the keys of play go up, and Enter goes down and up again.
    for (routes::Key key : routes::all_keys) {
      if (held_.has(key)) out.push_back(event(Type::key_up, routes::key_code(key)));
    }
    held_ = {};
    out.push_back(event(Type::key_down, enter_key));
    planned_.push_back({at, event(Type::key_up, enter_key)});
  }

  bool more_to_come() const override { return true; }
  std::optional<media::JoystickReading> pad(media::Stamp, int) override { return std::nullopt; }
  std::int32_t clock(media::Stamp, std::int32_t now) override { return now; }
  int seed(int asked) override { return asked; }

 private:
  void plan(media::Stamp at, const InputEvent& e) { planned_.push_back({at, e}); }

  void click(media::Stamp at, const MenuItem& item) {
    const auto [x, y] = point_on(item);
    plan(at, event(Type::mouse_move, 0, x, y));
    plan(at, event(Type::mouse_down, 1));
    plan({at.frame + 1, 0}, event(Type::mouse_up, 1));
  }

  void menu_frame(media::Stamp at) {
    if (menu_done_) {
      if (++menu_frames_ > menu_patience) throw WholeGameError("the menu's item did nothing");
      return;
    }
    menu_done_ = true;
    menu_frames_ = 0;
    // Back in the menu after the game: the exit item.
    click(at, started_ ? exit_item : start_item);
    started_ = true;
  }

  void play_frame(media::Stamp at, const TGame& game) {
    menu_done_ = false;
    // Each level is played once: a death is a route's fault.
    if (game._level != level_) {
      level_ = game._level;
      frame_ = 0;
      const auto found = routes_.find(level_);
      if (found == routes_.end()) {
        throw WholeGameError("no route for level " + std::to_string(level_));
      }
      held_by_frame_ = found->second.held_by_frame();
    } else {
      ++frame_;
    }
    const std::string level = "the route of level " + std::to_string(level_);
    if (game._lives < lives_at_start) throw WholeGameError(level + " costs a life");
    if (frame_ >= static_cast<int>(held_by_frame_.size())) {
      throw WholeGameError(level + " does not reach the exit by frame " +
                           std::to_string(held_by_frame_.size() - 1));
    }
    const routes::KeySet keys = held_by_frame_[static_cast<std::size_t>(frame_)];
    for (routes::Key key : routes::all_keys) {
      if (keys.has(key) == held_.has(key)) continue;
      plan(at, event(keys.has(key) ? Type::key_down : Type::key_up, routes::key_code(key)));
    }
    held_ = keys;
  }

  const std::map<int, routes::Route>& routes_;
  std::deque<std::pair<media::Stamp, InputEvent>> planned_;
  bool started_ = false, menu_done_ = false;
  int menu_frames_ = 0;
  int level_ = 0, frame_ = 0;
  std::vector<routes::KeySet> held_by_frame_;
  routes::KeySet held_;
};

}  // namespace

std::string whole_game_replay(const std::map<int, routes::Route>& routes,
                              const std::string& comment) {
  std::ostringstream text;
  std::istringstream lines(comment);
  for (std::string line; std::getline(lines, line);) text << "# " << line << '\n';

  media::HeadlessBackend& hb = media::use_headless();
  hb.set_rasterise(false);
  hb.set_draw_log(false);
  reset_globals();
  Driver driver(routes);
  ReplayWriter writer(text);
  media::set_feed(&driver);
  media::set_journal(&writer);
  struct Detach {
    ~Detach() {
      media::set_feed(nullptr);
      media::set_journal(nullptr);
    }
  } detach;
  try {
    shell::start_up();
    const auto update = [] { return globals().manager->update(); };
    for (;;) {
      driver.before_frame();
      shell::run_frame(update);
    }
  } catch (const media::ProgramEnded& ended) {
    if (ended.status != 0) throw;
  }
  return text.str();
}

}  // namespace replays
