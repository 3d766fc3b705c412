#include "state_hash.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <variant>

#include "shell/catalogue.h"
#include "shell/globals.h"

namespace replays {

namespace {

// FNV-1a over 64 bits.
class Hasher {
 public:
  void bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      value_ ^= p[i];
      value_ *= 0x100000001b3ull;
    }
  }
  void add(std::int64_t v) { bytes(&v, sizeof v); }
  // By bit pattern: -0 and 0 differ, as two runs that agree never do.
  void add(float v) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    add(static_cast<std::int64_t>(bits));
  }
  void add(const std::string& s) {
    add(static_cast<std::int64_t>(s.size()));
    bytes(s.data(), s.size());
  }
  std::uint64_t value() const { return value_; }

 private:
  std::uint64_t value_ = 0xcbf29ce484222325ull;
};

// Every picture of the catalogue by the path it was loaded from.
std::map<const media::TImage*, std::string> picture_names() {
  std::map<const media::TImage*, std::string> names;
  MediaCatalogue& c = catalogue();
  for (const CatalogueEntry& entry : catalogue_entries()) {
    const auto* slots = std::get_if<PictureSlots>(&entry.slots);
    if (!slots) continue;
    const std::span<media::Image> images = (*slots)(c);
    for (std::size_t i = 0; i < images.size() && i < entry.files.size(); ++i) {
      if (images[i]) names[images[i].get()] = std::string(entry.files[i].path);
    }
  }
  return names;
}

class StateHasher {
 public:
  explicit StateHasher(const std::map<const media::TImage*, std::string>& names) : names_(names) {}

  void picture(const media::Image& image) {
    if (!image) return h.add(std::string("-"));
    const auto found = names_.find(image.get());
    h.add(found == names_.end() ? std::string("?") : found->second);
  }

  void hero(const TPlayer& p) {
    for (float v : {p._x, p._y, p._move_x, p._move_y, p._run, p._anim_frame, p._max_move_speed,
                    p._max_fall_speed}) {
      h.add(v);
    }
    for (int v : {p._anim, p._anim_last_frame, p._dir, p._jump}) h.add(std::int64_t{v});
  }

  void object(const TObject& o) {
    h.add(static_cast<std::int64_t>(o.kind()));
    switch (o.kind()) {
      case ObjectKind::player:
        return hero(static_cast<const TPlayer&>(o));
      case ObjectKind::wall: {
        const auto& w = static_cast<const TWall&>(o);
        floats({w._x, w._y});
        ints({w._size_x, w._size_y});
        return picture(w._image);
      }
      case ObjectKind::cloud: {
        const auto& c = static_cast<const TCloud&>(o);
        floats({c._x, c._y, c._move_x});
        return picture(c._image);
      }
      case ObjectKind::flower: {
        const auto& f = static_cast<const TFlower&>(o);
        return floats({f._x, f._y, f._frame, f._timer});
      }
      case ObjectKind::bullet: {
        const auto& b = static_cast<const TBullet&>(o);
        floats({b._x, b._y, b._speed});
        return ints({b._dir});
      }
      case ObjectKind::bonus: {
        const auto& b = static_cast<const TBonus&>(o);
        floats({b._x, b._y, b._frame, b._last_frame});
        return ints({b._score, b._image});
      }
      case ObjectKind::obj: {
        const auto& d = static_cast<const TObj&>(o);
        floats({d._x, d._y});
        return picture(d._image);
      }
      case ObjectKind::script: {
        const auto& s = static_cast<const TScript&>(o);
        floats({s._x, s._y});
        return ints({s._type});
      }
      case ObjectKind::hedgehog: {
        const auto& g = static_cast<const THedgehog&>(o);
        return floats({g._x, g._y, g._move_x, g._speed, g._frame});
      }
      case ObjectKind::stone: {
        const auto& s = static_cast<const TStone&>(o);
        floats({s._x, s._y, s._rotation, s._life});
        return ints({s._dir});
      }
      case ObjectKind::saw: {
        const auto& s = static_cast<const TSaw&>(o);
        floats({s._x, s._y, s._rotation});
        return ints({s._size});
      }
    }
  }

  void list(const std::shared_ptr<TList>& list) {
    if (!list) return h.add(std::int64_t{-1});
    h.add(static_cast<std::int64_t>(list->count()));
    list->each_object([&](const TObject& o) { object(o); });
  }

  void floats(std::initializer_list<float> values) {
    for (float v : values) h.add(v);
  }
  void ints(std::initializer_list<int> values) {
    for (int v : values) h.add(std::int64_t{v});
  }

  Hasher h;

 private:
  const std::map<const media::TImage*, std::string>& names_;
};

}  // namespace

std::uint64_t state_hash(const TGame& game) {
  const auto names = picture_names();
  StateHasher s(names);
  s.h.add(game._lang);
  for (const auto& column : game._map) s.h.bytes(column.data(), column.size() * sizeof(int));
  s.ints({game._level, game._monets, game._lives, game._score, game._score_this_level, game._record,
          game._last_level});
  s.ints({game._channel != nullptr, media::ChannelPlaying(game._channel), game._font_1 != nullptr,
          game._font_2 != nullptr});
  s.floats({game._cam_x, game._cam_y, game._max_cam_y, game._max_y});
  if (game._player) {
    s.hero(*game._player);
  } else {
    s.h.add(std::int64_t{-1});
  }
  s.list(game._object_list);
  s.list(game._wall_list);
  return s.h.value();
}

std::string state_line(const TGame& game) {
  char text[128];
  std::snprintf(text, sizeof text, "level %d score %d lives %d hash %016llx", game._level,
                game._score, game._lives, static_cast<unsigned long long>(state_hash(game)));
  return text;
}

std::optional<std::string> LevelWatch::look(const TGame& game, int frames) {
  if (game._level == level_) return std::nullopt;
  level_ = game._level;
  return "frame " + std::to_string(frames) + " " + state_line(game);
}

std::string LevelWatch::end_line(const TGame& game, int frames, const std::string& how) {
  return "end frame " + std::to_string(frames) + " " + state_line(game) + " " + how;
}

}  // namespace replays
