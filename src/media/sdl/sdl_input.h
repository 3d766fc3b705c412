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

// The game's key code (a Windows virtual-key number) for a key, 0 for keys the game cannot name.
// Shift, Control and Alt always come as their left or right codes (160...165).
int virtual_key(SDL_Scancode scancode);
// A controller axis (-32768...32767) as the game's -1...+1.
float controller_axis_unit(Sint16 value);

}  // namespace media::detail
