// The objects' frame: the background, then one pass per kind (clouds, walls, decorations, coins,
// stones, hedgehogs, saws, flowers, bullets), the score, and the triggers. Each pass ends before
// the next begins, so what one pass adds the later ones see in the same frame.
//
// A death or a reached exit builds a new level in the middle of a pass. The pass stops there: the
// discarded level's remaining objects are not visited (against the new hero they could cost a
// second life), and the object being visited does nothing more. The following passes work on the
// new level.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "level/box.h"
#include "level/records.h"
#include "media/display.h"
#include "media/image.h"
#include "media/sound.h"
#include "media/system.h"
#include "media/text.h"
#include "play/animation_frame.h"
#include "shell/catalogue.h"
#include "shell/globals.h"

namespace {

// Bullets fly left for ever; far past the world's left edge, where nothing is, they go.
constexpr float bullets_vanish_left_of = -1024.0f;
constexpr std::int32_t flower_interval_ms = 3000;

// The hero as a pass sees him: a pass that outlives him (his level rebuilt) has stopped.
struct Hero {
  float x, y, move_x, move_y;
};

Hero hero_of(const TGame& game) {
  const TPlayer& p = *game._player;
  return {p._x, p._y, p._move_x, p._move_y};
}

// The level a pass started on, to tell whether a death or an exit has replaced it.
class PassLevel {
 public:
  explicit PassLevel(const TGame& game) : game_(game), objects_(game._object_list) {}
  bool replaced() const { return game_._object_list != objects_; }
  TList& objects() const { return *objects_; }

 private:
  const TGame& game_;
  std::shared_ptr<TList> objects_;
};

float screen_x(const TGame& game, float x) {
  return x - game._cam_x;
}
float screen_y(const TGame& game, float y) {
  return y - game._cam_y;
}

void draw_background(const TGame& game) {
  media::DrawImage(catalogue().bg_images[game._level < 10 ? 0 : 1], 0, 0);
}

// About one new cloud a second, far to the hero's left; the draws come in this order.
void spawn_cloud(TGame& game) {
  if (media::Rand(0, 60) != 10) return;
  const Hero hero = hero_of(game);
  auto cloud = std::make_shared<TCloud>();
  cloud->_x = hero.x - 700.0f;
  cloud->_move_x = static_cast<float>(media::Rand(1, 3));
  cloud->_y = hero.y + static_cast<float>(media::Rand(-450, -200));
  cloud->_image = catalogue().cloud_images[static_cast<std::size_t>(media::Rand(0, 4))];
  game._object_list->add_last(cloud);
}

void clouds_pass(TGame& game) {
  const PassLevel level(game);
  const Hero hero = hero_of(game);
  game.each_object<TCloud>([&](TCloud& cloud) {
    media::DrawImage(cloud._image, screen_x(game, cloud._x), screen_y(game, cloud._y));
    cloud._x += cloud._move_x;
    if (cloud._x > hero.x + 1000.0f) level.objects().remove(&cloud);
  });
}

void walls_pass(TGame& game) {
  game.each_wall([&](TWall& wall) {
    media::DrawImage(wall._image, screen_x(game, wall._x), screen_y(game, wall._y));
  });
}

void decorations_pass(TGame& game) {
  game.each_object<TObj>([&](TObj& obj) {
    media::DrawImage(obj._image, screen_x(game, obj._x), screen_y(game, obj._y));
  });
}

// The hero's body as coins, saws and bullets touch it.
Box hero_body(const Hero& hero) {
  return box(hero.x + 10.0f, hero.y + 10.0f, 44.0f, 44.0f);
}

// Coins drift towards a hero within 96 pixels (a tie moves them right and down) and are drawn
// before they are picked up, so a coin shows in the frame it is taken.
void coins_pass(TGame& game) {
  const PassLevel level(game);
  const Hero hero = hero_of(game);
  const Box body = hero_body(hero);
  game.each_object<TBonus>([&](TBonus& coin) {
    if (std::fabs(coin._x - hero.x) < 96.0f && std::fabs(coin._y - hero.y) < 96.0f) {
      const float step_x = 4.0f + std::fabs(hero.move_x);
      const float step_y = 4.0f + std::fabs(hero.move_y);
      coin._x += coin._x > hero.x ? -step_x : step_x;
      coin._y += coin._y > hero.y ? -step_y : step_y;
    }
    media::DrawImage(animation_frame(catalogue().coin_images, coin._frame), screen_x(game, coin._x),
                     screen_y(game, coin._y));
    if (overlap(box(coin._x + 10.0f, coin._y + 10.0f, 44.0f, 44.0f), body)) {
      game._score_this_level += coin._score;
      media::PlaySound(catalogue().sounds[0]);
      level.objects().remove(&coin);
    }
    coin._frame += 0.175f;
    if (!(coin._frame < coin._last_frame)) coin._frame = 0.0f;
  });
}

// A thrown stone rises for 30 frames and then falls ever faster; it is used up on a wall or
// below the lowest wall line, and drawn in the frame it hits.
void stones_pass(TGame& game) {
  const PassLevel level(game);
  game.each_object<TStone>([&](TStone& stone) {
    stone._x += 4.0f * static_cast<float>(stone._dir);
    stone._life += 1.0f;
    const float arc = (30.0f - stone._life) * (30.0f - stone._life) / 150.0f;
    stone._y += stone._life <= 30.0f ? -arc : arc;
    if (game.wall_grid().any_overlaps(box(stone._x - 12.0f, stone._y - 12.0f, 27.0f, 27.0f))) {
      level.objects().remove(&stone);
    }
    stone._rotation += 5.0f;
    if (!(stone._rotation < 360.0f)) stone._rotation = 0.0f;
    media::SetRotation(stone._rotation);
    media::DrawImage(catalogue().stone_image, screen_x(game, stone._x), screen_y(game, stone._y));
    media::SetRotation(0.0f);
    if (stone._y > game._max_cam_y) level.objects().remove(&stone);
  });
}

// What a hedgehog hurts and what hits it: its picture's 64 x 45 body, 19 pixels below its cell.
Box hedgehog_body(const THedgehog& h) {
  return box(h._x, h._y + 19.0f, 64.0f, 45.0f);
}

// The stones of the level in list order; the hedgehogs' pass only ever takes stones away.
std::vector<TStone*> stones_in(TGame& game) {
  std::vector<TStone*> stones;
  game.each_object<TStone>([&](TStone& stone) { stones.push_back(&stone); });
  return stones;
}

// Hedgehogs walk their platform and turn where no ground lies under the step ahead; they are not
// subject to gravity and walls beside them neither stop nor turn them.
void walk_hedgehog(TGame& game, THedgehog& h) {
  WallGrid& walls = game.wall_grid();
  if (h._move_x == 0.0f) {
    h._x -= h._speed;
    if (!walls.any_overlaps(box(h._x - 2.0f, h._y + 64.0f, 2.0f, 2.0f))) h._move_x = 1.0f;
  } else {
    h._x += h._speed;
    if (!walls.any_overlaps(box(h._x + 64.0f, h._y + 64.0f, 2.0f, 2.0f))) h._move_x = 0.0f;
  }
}

// Touching the hero comes before being hit: a hedgehog hit in the frame it touches him still
// kills. Every stone touching it is used up, each with its sound.
void hedgehogs_pass(TGame& game) {
  const PassLevel level(game);
  const Hero hero = hero_of(game);
  const Box hero_box = box(hero.x + 10.0f, hero.y + 5.0f, 44.0f, 54.0f);
  std::vector<TStone*> stones = stones_in(game);
  const MediaCatalogue& c = catalogue();
  game.each_object<THedgehog>([&](THedgehog& h) {
    const float x = screen_x(game, h._x), y = screen_y(game, h._y) + 19.0f;
    if (h._move_x == 1.0f)
      media::DrawImage(animation_frame(c.hedgehog_right_images, h._frame), x, y);
    if (h._move_x == 0.0f)
      media::DrawImage(animation_frame(c.hedgehog_left_images, h._frame), x, y);
    h._frame += 0.1f;
    if (!(h._frame < 4.0f)) h._frame = 0.0f;
    walk_hedgehog(game, h);
    const Box body = hedgehog_body(h);
    if (overlap(body, hero_box)) {
      game.player_death();
      if (level.replaced()) return;
    }
    for (TStone*& stone : stones) {
      if (stone && overlap(box(stone->_x - 12.0f, stone->_y - 12.0f, 25.0f, 25.0f), body)) {
        media::PlaySound(c.shot_sound);
        level.objects().remove(&h);
        level.objects().remove(stone);
        stone = nullptr;
      }
    }
  });
}

// The images turn about their centres: the large saw's centre is 64 pixels in from its cell's
// corner, the small one's 32.
void saws_pass(TGame& game) {
  const Box body = hero_body(hero_of(game));
  const MediaCatalogue& c = catalogue();
  game.each_object<TSaw>([&](TSaw& saw) {
    const bool large = saw._size == 0;
    const float centre = large ? 64.0f : 32.0f;
    media::SetRotation(saw._rotation);
    const bool known = saw._size >= 0 && saw._size < static_cast<int>(c.saw_images.size());
    media::DrawImage(known ? c.saw_images[static_cast<std::size_t>(saw._size)] : nullptr,
                     screen_x(game, saw._x) + centre, screen_y(game, saw._y) + centre);
    media::SetRotation(0.0f);
    saw._rotation += 2.0f;
    if (!(saw._rotation < 360.0f)) saw._rotation = 0.0f;
    const Box blade = large ? box(saw._x + 12.0f, saw._y + 12.0f, 104.0f, 104.0f)
                            : box(saw._x + 6.0f, saw._y + 6.0f, 52.0f, 52.0f);
    if (overlap(blade, body)) game.player_death();
  });
}

// The clock counts milliseconds since the machine started, and past its largest value it wraps
// round to the most negative one: the time since a shot is taken on the wrapping clock, or on a
// machine up for more than 24.8 days the flowers would fall silent for as long again.
bool flower_ready(const TFlower& flower) {
  const auto last = static_cast<std::uint32_t>(static_cast<std::int64_t>(flower._timer));
  const auto since =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(media::MilliSecs()) - last);
  return since > flower_interval_ms;
}

// A flower fires to the left whenever more than three seconds of the clock have passed since its
// last shot; its bullet moves in this very frame, in the bullets' pass.
void flowers_pass(TGame& game) {
  const PassLevel level(game);
  game.each_object<TFlower>([&](TFlower& flower) {
    media::DrawImage(animation_frame(catalogue().flower_images, flower._frame),
                     screen_x(game, flower._x), screen_y(game, flower._y));
    if (flower_ready(flower)) {
      flower._frame = 1.5f;
      auto bullet = std::make_shared<TBullet>();
      bullet->_x = flower._x + 3.0f;
      bullet->_y = flower._y + 17.0f;
      bullet->_speed = 6.0f;
      bullet->_dir = -1;
      level.objects().add_last(bullet);
      flower._timer = static_cast<float>(media::MilliSecs());
    }
    if (flower._frame > 0.0f) flower._frame -= 0.1f;
  });
}

// The red of a bullet flickers: its shade is drawn anew for every bullet in every frame. A
// bullet that hits a wall still hurts the hero in the same frame.
void bullets_pass(TGame& game) {
  const PassLevel level(game);
  const Box body = hero_body(hero_of(game));
  game.each_object<TBullet>([&](TBullet& bullet) {
    bullet._x += bullet._speed * static_cast<float>(bullet._dir);
    media::SetColor(media::Rand(200, 255), 0, 0);
    media::DrawOval(screen_x(game, bullet._x), screen_y(game, bullet._y), 10.0f, 10.0f);
    media::SetColor(255, 255, 255);
    const Box shot = box(bullet._x, bullet._y, 10.0f, 10.0f);
    if (game.wall_grid().any_overlaps(shot)) level.objects().remove(&bullet);
    if (overlap(shot, body)) {
      level.objects().remove(&bullet);
      game.player_death();
      if (level.replaced()) return;
    }
    if (bullet._x < bullets_vanish_left_of) level.objects().remove(&bullet);
  });
}

void draw_score(const TGame& game) {
  media::SetColor(0, 0, 255);
  if (game._lang == "RUS") media::DrawText("Очки:", 800, 10);
  if (game._lang == "ENG") media::DrawText("Score:", 800, 10);
  media::DrawText(std::to_string(game._score + game._score_this_level), 880, 10);
  media::SetColor(255, 255, 255);
}

// Death zones and the exit. Returns true when the exit of the last level has been passed.
bool scripts_pass(TGame& game) {
  const Hero h = hero_of(game);
  const Box hero = box(h.x, h.y, 64.0f, 64.0f);
  bool game_over = false;
  game.each_object<TScript>([&](TScript& script) {
    if (!overlap(hero, box(script._x, script._y, 64.0f, 64.0f))) return true;
    const int type = script.get_value();
    if (type == 1) game.player_death();
    if (type == 2) game_over = game.level_complete() != 0;
    return !game_over;
  });
  return game_over;
}

}  // namespace

int TGame::update_objects() {
  draw_background(*this);
  spawn_cloud(*this);
  clouds_pass(*this);
  walls_pass(*this);
  decorations_pass(*this);
  coins_pass(*this);
  stones_pass(*this);
  hedgehogs_pass(*this);
  saws_pass(*this);
  flowers_pass(*this);
  bullets_pass(*this);
  draw_score(*this);
  return scripts_pass(*this) ? 1 : 0;
}
