#pragma once
// Shared by the display module and the back ends only.

namespace media::detail {

// A new display generation, unique for the whole run and never 0, so a texture slot filled on
// one back end or display is never mistaken for one of another.
int next_display_generation();

}  // namespace media::detail
