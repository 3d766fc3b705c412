#pragma once
// The sdl back end's internals that its tests and tools reach.

#include <SDL2/SDL.h>

#include "media/backend.h"

namespace media::detail {

// The renderer the sdl back end draws into the back buffer with; none when another back end is
// in use or no display is open.
SDL_Renderer* sdl_renderer();

// Mask mode draws a texel when its alpha times the drawing alpha (0...255 each), over 255 and
// rounded, is at least 128: the least texel alpha that does so at `drawing_alpha`, 256 if none.
int mask_alpha_threshold(int drawing_alpha);

// False when any corner has a coordinate that is infinite or not a number: such a shape is not
// handed to SDL.
bool all_finite(const Vertex* v, int count);

}  // namespace media::detail
