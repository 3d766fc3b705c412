#pragma once

#include <array>
#include <cstddef>

#include "level/box.h"
#include "media/image.h"

// The picture of an animation at position `frame`, truncated toward zero; none (nothing is
// drawn) for a position outside the table, which only a record made by hand can hold.
template <std::size_t N>
const media::Image& animation_frame(const std::array<media::Image, N>& images, float frame) {
  static const media::Image none;
  const int i = truncated(frame);
  return i >= 0 && static_cast<std::size_t>(i) < N ? images[static_cast<std::size_t>(i)] : none;
}
