#pragma once
// The sdl back end's half of input: SDL events turned into the media layer's input events,
// and game controllers read as the game's numbered buttons and axes.

#include <SDL2/SDL.h>

#include "media/backend.h"

namespace media::detail {

// Opens every controller present (the first one found is port 0) and watches for hot-plugging.
void sdl_input_open();
void sdl_input_close();

// Turns one SDL event into an input event; false when the event means nothing to the game.
// Controller hot-plug events are handled here too (and return false).
bool translate_sdl_event(const SDL_Event& e, InputEvent& out);

// False when no controller sits on `port`.
bool sdl_read_joystick(int port, JoystickReading& out);

}  // namespace media::detail
