#include "play/play_fixture.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>

#include "media/detail/sound_internal.h"
#include "media/display.h"
#include "media/image.h"
#include "media/sound.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A silent mono 16-bit WAV of ten seconds: long enough that no play ends during a test, so every
// play needs a voice of its own and the voices count the plays.
Bytes long_wav() {
  constexpr std::uint32_t rate = 8000, frames = 80000;
  auto put = [](Bytes& b, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  Bytes b{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  put(b, 16, 4);
  put(b, 1, 2);
  put(b, 1, 2);
  put(b, rate, 4);
  put(b, rate * 2, 4);
  put(b, 2, 2);
  put(b, 16, 2);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put(b, frames * 2, 4);
  b.resize(b.size() + frames * 2, 0);
  return b;
}

media::InputEvent key_event(media::InputEvent::Type type, int key) {
  media::InputEvent e;
  e.type = type;
  e.code = key;
  return e;
}

}  // namespace

PlayTest::PlayTest() {
  media::Graphics(1024, 768, 32, 60, 0);
  hb.set_rasterise(false);

  int serial = 0;
  auto picture = [&](media::Image& image, const std::string& name) {
    media::TPixmap p(2, 2, media::PixelFormat::rgba8);
    ++serial;
    std::fill(p.pixels.begin(), p.pixels.end(), static_cast<std::uint8_t>(serial));
    image = media::image_from_pixmap(std::move(p), 0);
    names_[&image->pixmaps[0]] = name;
  };
  auto pictures = [&](auto& images, const std::string& name) {
    for (std::size_t i = 0; i < images.size(); ++i) picture(images[i], name + std::to_string(i));
  };
  MediaCatalogue& c = catalogue();
  pictures(c.ground_images, "wall");
  pictures(c.tree_images, "tree");
  pictures(c.saw_images, "saw");
  picture(c.stone_image, "stone");
  pictures(c.flower_images, "flower");
  pictures(c.hedgehog_right_images, "hedgehog_right");
  pictures(c.hedgehog_left_images, "hedgehog_left");
  pictures(c.bg_images, "bg");
  pictures(c.hero_stay_right_images, "stay_right");
  pictures(c.hero_stay_left_images, "stay_left");
  pictures(c.hero_move_right_images, "move_right");
  pictures(c.hero_move_left_images, "move_left");
  picture(c.hero_jump_right_image, "jump_right");
  picture(c.hero_jump_left_image, "jump_left");
  picture(c.hero_fall_right_image, "fall_right");
  picture(c.hero_fall_left_image, "fall_left");
  pictures(c.coin_images, "coin");
  picture(c.life_images[0], "lifebar");
  picture(c.life_images[1], "life");
  pictures(c.cloud_images, "cloud");
  picture(c.death_image, "death");
  picture(c.map_images[0], "map");
  picture(c.map_images[1], "marker");
  picture(c.level_complete_eng_image, "complete");

  scratch.write("sound.wav", long_wav());
  for (media::Sound* s : {&c.sounds[0], &c.sounds[1], &c.shot_sound, &c.throw_sound}) {
    *s = media::LoadSound("sound.wav", 0);
  }

  game._lang = "ENG";
  game._lives = 3;
  game._level = 2;
  game._max_cam_y = 1e6f;  // a hero falling through an empty test world lives on...
  game._max_y = 1e6f;      // ...and the camera follows him down
  game._object_list = std::make_shared<TList>();
  game._wall_list = std::make_shared<TList>();
  hero_at(0, 0);
  write_level(2, {});
}

TPlayer& PlayTest::hero_at(float x, float y) {
  game._player = std::make_shared<TPlayer>();
  game._player->_x = x;
  game._player->_y = y;
  return *game._player;
}

int PlayTest::frame() {
  const int result = game.update();
  drawn.clear();
  for (const media::DrawRecord& d : hb.draws_since_present()) {
    auto it = names_.find(d.pixmap);
    std::string name = it != names_.end() ? it->second : d.pixmap ? "text" : "oval";
    float x = d.vertices[0].x, y = d.vertices[0].y;
    for (const media::Vertex& v : d.vertices) {
      x = std::min(x, v.x);
      y = std::min(y, v.y);
    }
    drawn.push_back({name, x, y, d.argb, d.pixmap});
  }
  media::Flip(-1);
  media::Cls();
  return result;
}

std::vector<Drawn> PlayTest::drawn_named(const std::string& name) const {
  std::vector<Drawn> found;
  for (const Drawn& d : drawn) {
    if (d.name == name) found.push_back(d);
  }
  return found;
}

// Frames of one kind count as one: "coin2" and "coin0" are both coins.
std::string Drawn::kind() const {
  std::string k = name;
  while (!k.empty() && std::isdigit(static_cast<unsigned char>(k.back()))) k.pop_back();
  return k;
}

std::vector<Drawn> PlayTest::drawn_kind(const std::string& kind) const {
  std::vector<Drawn> found;
  for (const Drawn& d : drawn) {
    if (d.kind() == kind) found.push_back(d);
  }
  return found;
}

std::vector<std::string> PlayTest::paint_order() const {
  std::vector<std::string> order;
  for (const Drawn& d : drawn) {
    if (order.empty() || order.back() != d.kind()) order.push_back(d.kind());
  }
  return order;
}

void PlayTest::hold(int key) {
  hb.inject_at_time(hb.millisecs(), key_event(media::InputEvent::Type::key_down, key));
}

void PlayTest::release(int key) {
  hb.inject_at_time(hb.millisecs(), key_event(media::InputEvent::Type::key_up, key));
}

void PlayTest::press(int key) {
  hold(key);
  release(key);
}

// Far in the virtual future: a screen waiting for a key moves the clock there, and a fade in
// progress never reaches it.
void PlayTest::answer_screens(int count) {
  for (int i = 0; i < count; ++i) {
    next_answer_ms_ += 100000;
    hb.inject_at_time(next_answer_ms_, key_event(media::InputEvent::Type::key_down, 13));
    hb.inject_at_time(next_answer_ms_ + 1, key_event(media::InputEvent::Type::key_up, 13));
  }
}

void PlayTest::write_level(int n, std::initializer_list<Cell> cells) {
  std::vector<std::int32_t> codes(static_cast<std::size_t>(level_columns * level_rows), 0);
  for (const Cell& cell : cells) {
    codes[static_cast<std::size_t>(cell.column * level_rows + cell.row)] = cell.code;
  }
  Bytes bytes;
  for (std::int32_t code : codes) {
    for (int i = 0; i < 4; ++i) {
      bytes.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(code) >> (8 * i)));
    }
  }
  scratch.write("data/level/map_" + std::to_string(n) + ".dat", bytes);
}

int PlayTest::plays(const media::Sound& sound) const {
  return media::detail::voice_count(sound);
}
