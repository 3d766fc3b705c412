#pragma once
// A play world built by hand on the headless back end: a catalogue of tiny pictures, each with its
// own name so that the draw log can be read back, sounds whose plays can be counted, and a game
// on level 2 (no tutorial when it is rebuilt) with three lives.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "level/records.h"
#include "media/backend.h"
#include "support/headless_test.h"

// One draw call as the play tests read it: the picture's catalogue name ("oval" for a bullet,
// "text" for a glyph), where its quad starts, and its colour.
struct Drawn {
  std::string name;
  float x, y;
  std::uint32_t argb;
  const void* picture;
  std::string kind() const;  // the name without its frame number
};

struct Cell {
  int column, row, code;
};

class PlayTest : public GameTest {
 protected:
  PlayTest();

  template <class T>
  std::shared_ptr<T> place(float x, float y) {
    auto object = std::make_shared<T>();
    object->_x = x;
    object->_y = y;
    if constexpr (std::is_same_v<T, TWall>) {
      game._wall_list->add_last(object);
    } else {
      game._object_list->add_last(object);
    }
    return object;
  }
  TPlayer& hero_at(float x, float y);
  TPlayer& hero() { return *game._player; }

  // One frame as the main loop runs it; what it drew is kept in `drawn`.
  int frame();
  // Frames until `done()` or `limit` frames; returns how many ran.
  template <class Done>
  int frames_until(Done&& done, int limit) {
    for (int n = 1; n <= limit; ++n) {
      frame();
      if (done()) return n;
    }
    return limit + 1;
  }
  std::vector<Drawn> drawn_named(const std::string& name) const;
  std::vector<Drawn> drawn_kind(const std::string& kind) const;
  // The order in which kinds of picture were drawn, repeats of one kind folded together.
  std::vector<std::string> paint_order() const;

  void hold(int key);
  void release(int key);
  void press(int key);  // down and up, as one hit
  // A key for each of the next `count` screens that wait for one (death, complete, map).
  void answer_screens(int count);

  // Writes the level file of level `n`: empty but for `cells`.
  void write_level(int n, std::initializer_list<Cell> cells);
  // How many times a catalogue sound has been started since the test began.
  int plays(const media::Sound& sound) const;

  TGame game;
  std::vector<Drawn> drawn;

 private:
  std::map<const media::TPixmap*, std::string> names_;
  std::int32_t next_answer_ms_ = 1000000;
};
